#include "store/Pinyin.h"

#include <QStringEncoder>
#include <array>

namespace {

struct Range {
    unsigned first;
    unsigned last;
    char letter;
};

// Level-1 characters are ordered by reading; each range starts at the first
// character read with its letter. Y starts right after X at 0xD189, so the
// characters 0xD1A1..0xD1B8 (read xuan..xun) give Y, as stored data holds.
constexpr std::array<Range, 23> Ranges = {{
    {0xB0A1, 0xB0C4, 'A'}, {0xB0C5, 0xB2C0, 'B'}, {0xB2C1, 0xB4ED, 'C'}, {0xB4EE, 0xB6E9, 'D'},
    {0xB6EA, 0xB7A1, 'E'}, {0xB7A2, 0xB8C0, 'F'}, {0xB8C1, 0xB9FD, 'G'}, {0xB9FE, 0xBBF6, 'H'},
    {0xBBF7, 0xBFA5, 'J'}, {0xBFA6, 0xC0AB, 'K'}, {0xC0AC, 0xC2E7, 'L'}, {0xC2E8, 0xC4C2, 'M'},
    {0xC4C3, 0xC5B5, 'N'}, {0xC5B6, 0xC5BD, 'O'}, {0xC5BE, 0xC6D9, 'P'}, {0xC6DA, 0xC8BA, 'Q'},
    {0xC8BB, 0xC8F5, 'R'}, {0xC8F6, 0xCBF9, 'S'}, {0xCBFA, 0xCDD9, 'T'}, {0xCDDA, 0xCEF3, 'W'},
    {0xCEF4, 0xD188, 'X'}, {0xD189, 0xD4D0, 'Y'}, {0xD4D1, 0xD7F9, 'Z'},
}};

} // namespace

QByteArray toGbk(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

QChar PinyinInitial(const QByteArray& gbkBytes) {
    if (gbkBytes.isEmpty())
        return u' ';
    const unsigned high = static_cast<unsigned char>(gbkBytes[0]);
    const unsigned low = gbkBytes.size() > 1 ? static_cast<unsigned char>(gbkBytes[1]) : 0;
    const unsigned code = high * 256 + low;
    for (const Range& range : Ranges) {
        if (code >= range.first && code <= range.last)
            return QChar::fromLatin1(range.letter);
    }
    return u' ';
}

QString PinyinCode(const QString& name) {
    const QByteArray bytes = toGbk(name);
    QString code;
    const qsizetype pairs = bytes.size() / 2;
    code.reserve(pairs);
    for (qsizetype i = 0; i < pairs; ++i)
        code += PinyinInitial(bytes.mid(2 * i, 2));
    return code;
}
