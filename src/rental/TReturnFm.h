#pragma once

#include "rental/ReturnBooking.h"
#include "rental/TReturnHyWeiHuanFm.h"
#include "rental/TReturnZuJinXiuGaiFm.h"
#include "store/LoginContext.h"
#include "ui/WindowSlot.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "归还": the return counter. Each scanned barcode finds the current card's
// open rent of that copy and becomes a return line with the days kept and
// the rent due; "归还 " settles the lines, paid in cash or from the card.
class TReturnFm : public QDialog {
    Q_OBJECT
public:
    // Columns of a return line; the rent record's id rides on the first cell.
    enum Column {
        Barcode,
        Name,
        DailyRent,
        Card,
        MemberName,
        Deposit,
        RentedAt,
        Days,
        Rent,
        ColumnCount
    };

    TReturnFm(const LoginContext& login, QWidget* parent = nullptr);

    // Named steps.
    void IniData();
    void CountPrice();
    void RentFind(const QString& barcode);

    // Event handlers.
    void findMember();
    void scanBarcode();
    void editRent();
    void showUnreturned();
    void giveBack();
    void removeLine();

    const QString& currentCard() const { return m_currentCard; }
    bool promptAfterReturn() const { return m_promptAfterReturn; }

    // The controls, for the window tests.
    QLineEdit* cardEntry() const { return m_cardEntry; }
    QLineEdit* barcodeEntry() const { return m_barcodeEntry; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* typeBox() const { return m_type; }
    QLineEdit* balanceBox() const { return m_balance; }
    QLineEdit* unreturnedBox() const { return m_unreturned; }
    QLabel* rentTotal() const { return m_rentTotal; }
    QLabel* depositBack() const { return m_depositBack; }
    QComboBox* paymentBox() const { return m_payment; }
    QLineEdit* remarkBox() const { return m_remark; }
    QTableWidget* lines() const { return m_lines; }
    QPushButton* returnButton() const { return m_returnButton; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* closeButton() const { return m_closeButton; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Db db() const { return Db(m_login.connectionName); }
    QString cell(int row, int column) const;
    Payment payment() const;

    const LoginContext& m_login;
    QString m_currentCard;
    bool m_promptAfterReturn = false;
    QLineEdit* m_cardEntry = nullptr;
    QLineEdit* m_barcodeEntry = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_balance = nullptr;
    QLineEdit* m_unreturned = nullptr;
    QLabel* m_rentTotal = nullptr;
    QLabel* m_depositBack = nullptr;
    QComboBox* m_payment = nullptr;
    QLineEdit* m_remark = nullptr;
    QTableWidget* m_lines = nullptr;
    QPushButton* m_returnButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    WindowSlot<TReturnZuJinXiuGaiFm> m_rentSlot;
    WindowSlot<TReturnHyWeiHuanFm> m_unreturnedSlot;
};
