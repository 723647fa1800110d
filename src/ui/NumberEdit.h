#pragma once

#include "store/Money.h"
#include "store/Result.h"
#include "store/TypedNumber.h"

#include <QLineEdit>

// A number box. Keys are filtered: digits and backspace, and "." where
// decimals are allowed; editing and navigation keys (arrows, Delete, Home,
// End, Tab, Enter) pass. Pasted, dropped or otherwise inserted text that
// does not fit is refused as a whole. text() stays the raw text, so text
// set by the program is shown as it is; read the value with money() or
// integer(), which refuse malformed text ("1.2.3", ".") with a clear message.
class NumberEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class Kind { Digits, Decimal };

    explicit NumberEdit(Kind kind = Kind::Decimal, QWidget* parent = nullptr);
    explicit NumberEdit(QWidget* parent) : NumberEdit(Kind::Decimal, parent) {}

    Kind kind() const { return m_kind; }
    // Names the box in error messages ("定价").
    void setFieldName(const QString& name) { m_fieldName = name; }
    const QString& fieldName() const { return m_fieldName; }

    // The amount typed, within the bounds of a number box; empty text
    // reads as whenEmpty, or is refused when whenEmpty is nullopt.
    Result<Money> money(std::optional<Money> whenEmpty = Money{}) const;
    // The whole number typed; a decimal point is refused.
    Result<qint64> integer(std::optional<qint64> whenEmpty = 0) const;
    // The same, read with the bounds and texts of a field of its own.
    Result<Money> money(const TypedNumber::AmountField& field) const;
    Result<qint64> integer(const TypedNumber::WholeField& field) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Kind m_kind;
    QString m_fieldName;
};
