#include "ui/NumberEdit.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace {

QString malformed(const QString& fieldName, const QString& text) {
    if (fieldName.isEmpty())
        return QStringLiteral("数字格式不正确: \"%1\"").arg(text);
    return QStringLiteral("%1的数字格式不正确: \"%2\"").arg(fieldName, text);
}

QString tooLarge(const QString& fieldName, qint64 maximum) {
    return QStringLiteral("%1超出范围, 最大只能是 %2")
        .arg(fieldName.isEmpty() ? QStringLiteral("数字") : fieldName)
        .arg(maximum);
}

QString missing(const QString& fieldName) {
    if (fieldName.isEmpty())
        return QStringLiteral("请输入数字!");
    return QStringLiteral("请输入%1!").arg(fieldName);
}

} // namespace

NumberEdit::NumberEdit(Kind kind, QWidget* parent) : QLineEdit(parent), m_kind(kind) {
    // What may stand in the box at all: pasted or inserted text that would
    // leave anything else is refused whole. One point at most, no sign.
    const QString pattern =
        kind == Kind::Digits ? QStringLiteral("[0-9]*") : QStringLiteral("[0-9]*\\.?[0-9]*");
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
}

void NumberEdit::keyPressEvent(QKeyEvent* event) {
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    if (printable && !shortcut) {
        for (QChar c : typed) {
            const bool digit = c >= u'0' && c <= u'9';
            const bool point = c == u'.' && m_kind == Kind::Decimal;
            if (!digit && !point) {
                event->ignore();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

Result<Money> NumberEdit::money(std::optional<Money> whenEmpty) const {
    return parseMoney(text(), m_fieldName, whenEmpty);
}

Result<qint64> NumberEdit::integer(std::optional<qint64> whenEmpty) const {
    return parseInteger(text(), m_fieldName, whenEmpty);
}

Result<Money> NumberEdit::parseMoney(const QString& text, const QString& fieldName,
                                     std::optional<Money> whenEmpty) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        if (whenEmpty)
            return *whenEmpty;
        return Error{missing(fieldName)};
    }
    const std::optional<Money> value = Money::parse(trimmed);
    if (!value) {
        // well-formed digits that no amount can hold are only too large
        static const QRegularExpression number(QStringLiteral("^-?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
        if (number.match(trimmed).hasMatch())
            return Error{tooLarge(fieldName, MaxAmount)};
        return Error{malformed(fieldName, text)};
    }
    const Money limit = Money::fromInt(MaxAmount);
    if (*value > limit || *value < -limit)
        return Error{tooLarge(fieldName, MaxAmount)};
    return *value;
}

Result<qint64> NumberEdit::parseInteger(const QString& text, const QString& fieldName,
                                        std::optional<qint64> whenEmpty) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        if (whenEmpty)
            return *whenEmpty;
        return Error{missing(fieldName)};
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok);
    // toLongLong accepts a sign; a number box holds digits only
    if (!ok || trimmed.front() == u'+') {
        // a long run of digits is a number all the same, only too large
        static const QRegularExpression digits(QStringLiteral("^-?[0-9]+$"));
        if (digits.match(trimmed).hasMatch())
            return Error{tooLarge(fieldName, MaxInteger)};
        return Error{malformed(fieldName, text)};
    }
    if (value > MaxInteger || value < -MaxInteger)
        return Error{tooLarge(fieldName, MaxInteger)};
    return value;
}
