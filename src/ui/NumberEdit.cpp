#include "ui/NumberEdit.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

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
    return money(TypedNumber::boxAmount(m_fieldName, whenEmpty));
}

Result<qint64> NumberEdit::integer(std::optional<qint64> whenEmpty) const {
    return integer(TypedNumber::boxWhole(m_fieldName, whenEmpty));
}

Result<Money> NumberEdit::money(const TypedNumber::AmountField& field) const {
    return TypedNumber::read(text(), field);
}

Result<qint64> NumberEdit::integer(const TypedNumber::WholeField& field) const {
    return TypedNumber::read(text(), field);
}
