#pragma once

#include "sales/SaleLinesModel.h"
#include "store/BookingKeys.h"
#include "store/Db.h"
#include "store/LoginContext.h"

#include <QDateTime>
#include <QDialog>

class NumberEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// "销售": the sale counter. The customer is the walk-in customer or a member
// found by card number; scanned items become sale lines whose totals are
// the master values; "销售" books them all (SaleBooking).
class TSaleFm : public QDialog {
    Q_OBJECT
public:
    explicit TSaleFm(const LoginContext& login, QWidget* parent = nullptr);

    // Back to the walk-in customer with fresh entry boxes.
    void IniData();
    // Shows the number the next sale will most likely get.
    void SaleDanHao();
    // Finds the item of the barcode box among items in stock and adds a line.
    void SpFind();
    // Derives unit prices and discounts from the line totals; shows the sum
    // and the number of lines.
    void CountPrice();

    const SaleLinesModel& lines() const { return *m_lines; }
    const QString& memberCard() const { return m_memberCard; }

    // Esc, "关闭" and the close box: with lines not yet sold, asks first
    // ("还有未结算的商品, 确定要关闭吗?"); No keeps the window and its lines.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void findMember();
    // The member boxes, discount and lines back to the walk-in customer.
    void showWalkIn();
    void editLineTotal();
    void removeLine();
    void book();
    int selectedRow() const;
    // The entry boxes as numbers; a message and nullopt when malformed.
    std::optional<qint64> quantity();
    std::optional<Money> discount();

    const LoginContext& m_login;
    Db m_db;
    // The key of the lines on screen, kept while their booking's outcome is unknown.
    BookingKeys::Attempt m_attempt;
    QString m_memberCard;
    Money m_total;

    QLabel* m_totalLabel;
    QLabel* m_countLabel;
    QLabel* m_orderLabel;
    QLineEdit* m_barcode;
    NumberEdit* m_quantity;
    NumberEdit* m_discount;
    QLineEdit* m_card;
    QLineEdit* m_name;
    QLineEdit* m_type;
    QLineEdit* m_balance;
    QLineEdit* m_unreturned;
    SaleLinesModel* m_lines;
    QTableView* m_list;
    QComboBox* m_payment;
    QPushButton* m_sell;
    QPushButton* m_remove;
    QPushButton* m_close;
};
