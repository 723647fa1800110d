#pragma once

#include "customers/CounterMember.h"
#include "rental/core/CounterLines.h"
#include "rental/core/RentalLookup.h"
#include "store/BookingKeys.h"
#include "store/Db.h"
#include "store/LoginContext.h"
#include "store/Permissions.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;
class QTableView;

// What the rent and the return counter share: the card and barcode entries,
// the member boxes, the lines table, "取消" (remove the selected line after a
// question) and "关闭". Each window creates its widgets in its own order
// (that order is the tab order) with the helpers below and lays them out
// itself.
class RentalCounterFm : public QDialog {
    Q_OBJECT
public:
    // Named step: the totals under the lines.
    virtual void CountPrice() = 0;

    // Double click on "未还数量": the current card's open rents.
    virtual void showUnreturned() = 0;
    // "取消": removes the selected line after asking with its barcode and name.
    void removeLine();
    // Esc, "关闭" or the close box: with lines not booked yet, asks first.
    void reject() override;

    // The controls, for the window tests.
    QLineEdit* cardEntry() const { return m_cardEntry; }
    QLineEdit* barcodeEntry() const { return m_barcodeEntry; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* typeBox() const { return m_type; }
    QLineEdit* balanceBox() const { return m_balance; }
    QLineEdit* unreturnedBox() const { return m_unreturned; }
    QTableView* lines() const { return m_list; }
    const CounterLines& lineModel() const { return *m_model; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* closeButton() const { return m_closeButton; }

protected:
    RentalCounterFm(const LoginContext& login, QWidget* parent);

    // Double click on a line: the window's amount edit.
    virtual void editLineAmount() = 0;
    // The member boxes back to the walk-in customer (a card number not found
    // leaves no earlier member in effect).
    virtual void showWalkIn() = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Db db() const { return Db(m_login.connectionName); }

    // Widget makers.
    QLineEdit* readOnlyBox();
    QLineEdit* makeUnreturnedBox();
    // The list over the window's lines.
    QTableView* makeLines(CounterLines* model);
    // Enter in the entries must never book or close.
    QPushButton* button(const QString& caption);
    // "取消" and "关闭".
    void makeRemoveAndClose();

    void selectBarcodeEntry();
    // The selected line, or -1.
    int selectedRow() const;

    // Looks the typed card number up and fills name, type, balance and the
    // unreturned count. A failure or an unknown card is reported (the card
    // entry is selected for another try) and gives nothing; after an unknown
    // card the boxes show the walk-in customer.
    std::optional<CounterMember> lookUpMember(const Db& database);

    // Edits an amount of the selected line through `edit` (given the row)
    // when the login may, then counts again. Without the permission:
    // "没有修改权限!".
    void editAmount(Permission permission, const std::function<void(int)>& edit);

    // The key of the lines on screen, kept while their booking's outcome is unknown.
    BookingKeys::Attempt m_attempt;
    const LoginContext& m_login;
    QLineEdit* m_cardEntry = nullptr;
    QLineEdit* m_barcodeEntry = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_balance = nullptr;
    QLineEdit* m_unreturned = nullptr;
    CounterLines* m_model = nullptr;
    QTableView* m_list = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};
