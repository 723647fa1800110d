#include "store/TypedNumber.h"

namespace TypedNumber {

namespace {

QString say(const QString& text, const QString& typed) {
    return QString(text).replace(QLatin1String("%1"), typed);
}

// The shape of the text, before its value: an optional "-" (where allowed),
// digits, and one point when `point` is allowed; at least one digit.
bool wellFormed(QStringView text, bool minus, bool point) {
    qsizetype i = 0;
    if (minus && text.startsWith(u'-'))
        ++i;
    int digits = 0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && point && !seenPoint) {
            seenPoint = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

template <typename T>
Result<T> bounded(const T& value, const Field<T>& field, const QString& typed) {
    if (value < field.least)
        return Error{say(field.texts.below, typed)};
    if (value > field.most)
        return Error{say(field.texts.above, typed)};
    return value;
}

QString named(const QString& name) {
    return name.isEmpty() ? QStringLiteral("数字") : name;
}

Texts boxTexts(const QString& name, qint64 most) {
    const QString malformed = name.isEmpty() ? QStringLiteral("数字格式不正确: \"%1\"")
                                             : name + QStringLiteral("的数字格式不正确: \"%1\"");
    const QString tooLarge =
        named(name) + QStringLiteral("超出范围, 最大只能是 ") + QString::number(most);
    return {name.isEmpty() ? QStringLiteral("请输入数字!") : QStringLiteral("请输入%1!").arg(name),
            malformed, tooLarge, tooLarge};
}

Texts itemTexts(const QString& name, const QString& most) {
    const QString malformed = name + QStringLiteral("的数字格式不正确: \"%1\"");
    return {QStringLiteral("字体加重的项目必须填写!"), malformed, malformed,
            name + QStringLiteral("不能超过") + most + u'!'};
}

} // namespace

Result<Money> read(const QString& typed, const AmountField& field) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        if (field.whenEmpty)
            return *field.whenEmpty;
        return Error{field.texts.missing};
    }
    if (!wellFormed(text, field.least < Money(), true))
        return Error{say(field.texts.malformed, typed)};
    const std::optional<Money> value = Money::parse(text);
    if (!value) // well-formed digits no amount can hold
        return Error{say(text.startsWith(u'-') ? field.texts.below : field.texts.above, typed)};
    return bounded(*value, field, typed);
}

Result<qint64> read(const QString& typed, const WholeField& field) {
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        if (field.whenEmpty)
            return *field.whenEmpty;
        return Error{field.texts.missing};
    }
    if (!wellFormed(text, field.least < 0, false))
        return Error{say(field.texts.malformed, typed)};
    bool fits = false;
    const qint64 value = text.toLongLong(&fits);
    if (!fits)
        return Error{say(text.startsWith(u'-') ? field.texts.below : field.texts.above, typed)};
    return bounded(value, field, typed);
}

AmountField boxAmount(const QString& name, std::optional<Money> whenEmpty) {
    const Money limit = Money::fromInt(BoxMaxAmount);
    return {-limit, limit, whenEmpty, boxTexts(name, BoxMaxAmount)};
}

WholeField boxWhole(const QString& name, std::optional<qint64> whenEmpty) {
    return {-BoxMaxWhole, BoxMaxWhole, whenEmpty, boxTexts(name, BoxMaxWhole)};
}

AmountField itemAmount(const QString& name, Money most, std::optional<Money> whenEmpty) {
    return {Money(), most, whenEmpty, itemTexts(name, most.toString())};
}

WholeField itemCount(const QString& name, qint64 most) {
    return {0, most, std::nullopt, itemTexts(name, QString::number(most))};
}

} // namespace TypedNumber
