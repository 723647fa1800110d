#pragma once

#include "store/Result.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;
class QPushButton;

// A small dialog that sets figures by hand (a stock, a card's balance and
// points): a form of boxes over "确定" and "取消", left through those two
// only. "确定" refuses an empty box with "填写数量!", then saves; a save that
// fails shows its message and keeps the dialog open with what was typed.
class CorrectionDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    void confirm(); // "确定"

protected:
    CorrectionDialog(const QString& title, QWidget* parent);
    // A row "caption:" with the box; a click in it selects its whole text.
    void addBox(const QString& caption, QLineEdit* box);
    // Reads the boxes and writes; the error text says why not.
    virtual Status save() = 0;

private:
    QFormLayout* m_form;
    QList<QLineEdit*> m_boxes;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
