#pragma once

#include "rental/RentalCounterFm.h"
#include "rental/TReturnHyWeiHuanFm.h"
#include "rental/TReturnZuJinXiuGaiFm.h"
#include "rental/core/ReturnBooking.h"
#include "store/LoginContext.h"
#include "ui/WindowSlot.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "归还": the return counter. Each scanned barcode finds the current card's
// open rent of that copy and becomes a return line with the days kept and
// the rent due; "归还 " settles the lines, paid in cash or from the card.
class TReturnFm : public RentalCounterFm {
    Q_OBJECT
public:
    // Columns of a return line.
    using enum ReturnLines::Column;

    TReturnFm(const LoginContext& login, QWidget* parent = nullptr);

    // Named steps.
    void IniData();
    void CountPrice() override;
    void RentFind(const QString& barcode);

    // Event handlers.
    void findMember();
    void scanBarcode();
    void editRent();
    void showUnreturned() override;
    void giveBack();

    const QString& currentCard() const { return m_currentCard; }
    bool promptAfterReturn() const { return m_promptAfterReturn; }

    // The controls, for the window tests.
    QLabel* rentTotal() const { return m_rentTotal; }
    QLabel* depositBack() const { return m_depositBack; }
    QComboBox* paymentBox() const { return m_payment; }
    QLineEdit* remarkBox() const { return m_remark; }
    QPushButton* returnButton() const { return m_returnButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void editLineAmount() override { editRent(); }
    void showWalkIn() override;

private:
    Payment payment() const;

    ReturnLines* m_returnLines = nullptr;
    QString m_currentCard;
    bool m_promptAfterReturn = false;
    QLabel* m_rentTotal = nullptr;
    QLabel* m_depositBack = nullptr;
    QComboBox* m_payment = nullptr;
    QLineEdit* m_remark = nullptr;
    QPushButton* m_returnButton = nullptr;
    WindowSlot<TReturnZuJinXiuGaiFm> m_rentSlot;
    WindowSlot<TReturnHyWeiHuanFm> m_unreturnedSlot;
};
