#pragma once

#include <QObject>

class QLineEdit;

// Makes the price boxes of a purchase follow one another as the user
// types: a key released in the list price or unit price box sets the
// discount, a key released in the discount box sets the unit price, and
// any change of unit price or quantity sets the total.
class PriceBoxes : public QObject {
    Q_OBJECT
public:
    PriceBoxes(QLineEdit* listPrice, QLineEdit* unitPrice, QLineEdit* quantity, QLineEdit* discount,
               QLineEdit* total, QObject* parent);

    // The steps, also callable when a box was filled by the program.
    void followDiscount();
    void followUnitPrice();
    void followTotal();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_listPrice;
    QLineEdit* m_unitPrice;
    QLineEdit* m_quantity;
    QLineEdit* m_discount;
    QLineEdit* m_total;
};
