#pragma once

#include "store/LoginContext.h"
#include "store/Money.h"
#include "store/Result.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class NumberEdit;

// The two windows that book one row of money by hand ("收费" and "支出"):
// an item chosen from the types of their kind or typed, a name, a remark
// and a whole-money amount. After a booking they say "完成!" and close.
class MoneyEntryFm : public QDialog {
    Q_OBJECT
public:
    QComboBox* itemBox() const { return m_item; }
    QLineEdit* nameBox() const { return m_name; }
    QPlainTextEdit* remarkBox() const { return m_remark; }
    NumberEdit* amountBox() const { return m_amount; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* closeButton() const { return m_close; }

    // The caption beside the amount box.
    static inline const QString WholeYuan = QStringLiteral("(整元)");

    // "确定": checks, books, says "完成!" and closes. False when refused
    // or failed; the window then keeps what was typed.
    bool confirm();

protected:
    struct Entry {
        QString item;
        Money amount;
        QString name;
        QString remark;
    };
    // title, the item box's caption, the kind of types it lists, the item
    // it starts with, and the table and name column the row goes to.
    MoneyEntryFm(const LoginContext& login, const QString& title, const QString& itemCaption,
                 const QString& kind, const QString& initialItem, const QString& table,
                 const QString& nameColumn, QWidget* parent);

    // A refusal checked before the amount (empty: none).
    virtual QString refusal() const { return {}; }
    virtual Result<qint64> book(const Entry& entry) const = 0;

    const LoginContext& m_login;

private:
    QComboBox* m_item;
    QLineEdit* m_name;
    QPlainTextEdit* m_remark;
    NumberEdit* m_amount;
    QPushButton* m_ok;
    QPushButton* m_close;
};
