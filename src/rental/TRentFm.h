#pragma once

#include "rental/RentPricing.h"
#include "rental/RentalLookup.h"
#include "rental/TRentGoodsChoiceFm.h"
#include "rental/TRentHyWeiHuanFm.h"
#include "rental/TRentYaJinXiuGaiFm.h"
#include "store/LoginContext.h"
#include "ui/WindowSlot.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// "出租": the rent counter. The renter is the walk-in customer or a member
// found by card number; scanned barcodes become rent lines (barcode, name,
// search code, goods type, deposit, daily rent, all held as text); "出租 "
// books them under one rent order number.
class TRentFm : public QDialog {
    Q_OBJECT
public:
    // Columns of a rent line.
    enum Column { Barcode, Name, Py, GoodsType, Deposit, DailyRent, ColumnCount };

    TRentFm(const LoginContext& login, QWidget* parent = nullptr);

    // Named steps.
    void IniData();
    void ChuZuDanHao();
    void CountPrice();
    void SpFind();

    // Event handlers.
    void findMember();
    void editDeposit();
    void showUnreturned();
    void rent();
    void removeLine();

    RentPricing::DepositMode depositMode() const;

    // The controls, for the window tests.
    QLineEdit* cardEntry() const { return m_cardEntry; }
    QLineEdit* barcodeEntry() const { return m_barcodeEntry; }
    QLineEdit* cardBox() const { return m_card; }
    QLineEdit* nameBox() const { return m_name; }
    QLineEdit* typeBox() const { return m_type; }
    QLineEdit* balanceBox() const { return m_balance; }
    QLineEdit* mayBorrowBox() const { return m_mayBorrow; }
    QLineEdit* unreturnedBox() const { return m_unreturned; }
    QRadioButton* takeDepositButton() const { return m_takeDeposit; }
    QRadioButton* freeDepositButton() const { return m_freeDeposit; }
    QLabel* depositTotal() const { return m_depositTotal; }
    QLabel* countLabel() const { return m_count; }
    QLabel* orderNumberLabel() const { return m_orderNumber; }
    QTableWidget* lines() const { return m_lines; }
    QPushButton* rentButton() const { return m_rentButton; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* closeButton() const { return m_closeButton; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Db db() const { return Db(m_login.connectionName); }
    void addLine(const RentalLookup::Copy& copy, const RentalLookup::GoodsType& type);
    QString cell(int row, int column) const;

    const LoginContext& m_login;
    QString m_chosenBarcode;
    QLineEdit* m_cardEntry = nullptr;
    QLineEdit* m_barcodeEntry = nullptr;
    QLineEdit* m_card = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_type = nullptr;
    QLineEdit* m_balance = nullptr;
    QLineEdit* m_mayBorrow = nullptr;
    QLineEdit* m_unreturned = nullptr;
    QRadioButton* m_takeDeposit = nullptr;
    QRadioButton* m_freeDeposit = nullptr;
    QLabel* m_depositTotal = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_orderNumber = nullptr;
    QTableWidget* m_lines = nullptr;
    QPushButton* m_rentButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    WindowSlot<TRentGoodsChoiceFm> m_choiceSlot;
    WindowSlot<TRentYaJinXiuGaiFm> m_depositSlot;
    WindowSlot<TRentHyWeiHuanFm> m_unreturnedSlot;
};
