#pragma once

#include "store/Money.h"

#include <QDialog>
#include <QString>

class NumberEdit;
class QPushButton;

// The body of the deposit and rent edit windows: one number box filled with
// the line's amount, "确定" (default) and "取消". "确定" with an empty box
// does nothing; a malformed number ("1.2.3", ".") is refused with a message;
// otherwise the amount goes into the line and the window closes.
class AmountEditFm : public QDialog {
    Q_OBJECT
public:
    AmountEditFm(const QString& caption, const QString& field, Money& amount, QWidget* parent);

    NumberEdit* edit() const { return m_edit; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void confirm();
    Money& m_amount;
    NumberEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
