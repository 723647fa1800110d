#include "output/core/Code128.h"

namespace {

// Bar, space, bar, space, bar, space widths of every symbol value; each
// character is eleven modules wide, the stop thirteen.
constexpr const char* Patterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

} // namespace

namespace Code128 {

QString pattern(int value) {
    if (value < 0 || value > Stop)
        return {};
    return QString::fromLatin1(Patterns[value]);
}

int valueInSetA(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 32 && u <= 95)
        return u - 32; // space, punctuation, digits, upper-case letters
    if (u < 32)
        return u + 64; // control characters
    return -1;
}

Result<Symbol> encodeA(const QString& text) {
    if (text.isEmpty())
        return Error{QStringLiteral("条码为空")};
    Symbol symbol;
    symbol.text = text;
    symbol.values << StartA;
    int sum = StartA;
    int position = 1;
    for (const QChar c : text) {
        const int value = valueInSetA(c);
        if (value < 0)
            return Error{QStringLiteral("条码中的字符“%1”不能用 Code 128 A 编码").arg(c)};
        symbol.values << value;
        sum += value * position++;
    }
    symbol.values << sum % 103 << Stop;
    for (const int value : std::as_const(symbol.values)) {
        for (const char w : std::string_view(Patterns[value])) {
            symbol.widths << (w - '0');
            symbol.modules += w - '0';
        }
    }
    return symbol;
}

} // namespace Code128
