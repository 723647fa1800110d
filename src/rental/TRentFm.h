#pragma once

#include "rental/RentalCounterFm.h"
#include "rental/TRentGoodsChoiceFm.h"
#include "rental/TRentHyWeiHuanFm.h"
#include "rental/TRentYaJinXiuGaiFm.h"
#include "rental/core/RentPricing.h"
#include "rental/core/RentalLookup.h"
#include "store/LoginContext.h"
#include "ui/WindowSlot.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "出租": the rent counter. The renter is the walk-in customer or a member
// found by card number; scanned barcodes become rent lines (barcode, name,
// search code, goods type, deposit, daily rent: RentLines); "出租 "
// books them under one rent order number.
class TRentFm : public RentalCounterFm {
    Q_OBJECT
public:
    // Columns of a rent line.
    using enum RentLines::Column;

    TRentFm(const LoginContext& login, QWidget* parent = nullptr);

    // Named steps.
    void IniData();
    void ChuZuDanHao();
    void CountPrice() override;
    void SpFind();

    // Event handlers.
    void findMember();
    void editDeposit();
    void showUnreturned() override;
    void rent();

    RentPricing::DepositMode depositMode() const;

    // The controls, for the window tests.
    QLineEdit* cardBox() const { return m_card; }
    QLineEdit* mayBorrowBox() const { return m_mayBorrow; }
    QRadioButton* takeDepositButton() const { return m_takeDeposit; }
    QRadioButton* freeDepositButton() const { return m_freeDeposit; }
    QLabel* depositTotal() const { return m_depositTotal; }
    QLabel* countLabel() const { return m_count; }
    QLabel* orderNumberLabel() const { return m_orderNumber; }
    QPushButton* rentButton() const { return m_rentButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void editLineAmount() override { editDeposit(); }
    void showWalkIn() override;

private:
    RentLines* m_rentLines = nullptr;
    // How many more copies the renter may take ("可借数量").
    qint64 m_mayBorrowCount = 9999;
    QString m_chosenBarcode;
    QLineEdit* m_card = nullptr;
    QLineEdit* m_mayBorrow = nullptr;
    QRadioButton* m_takeDeposit = nullptr;
    QRadioButton* m_freeDeposit = nullptr;
    QLabel* m_depositTotal = nullptr;
    QLabel* m_count = nullptr;
    QLabel* m_orderNumber = nullptr;
    QPushButton* m_rentButton = nullptr;
    WindowSlot<TRentGoodsChoiceFm> m_choiceSlot;
    WindowSlot<TRentYaJinXiuGaiFm> m_depositSlot;
    WindowSlot<TRentHyWeiHuanFm> m_unreturnedSlot;
};
