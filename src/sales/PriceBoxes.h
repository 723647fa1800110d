#pragma once

#include <QObject>

class QLineEdit;

// Makes the price boxes of a purchase follow one another as the user
// types: the user's own edit of the list price or unit price box sets the
// discount, the user's own edit of the discount box sets the unit price,
// and any change of unit price or quantity (also one made by the discount
// rule) sets the total. Text set by the program, a focus move and a key
// that changes no text derive nothing, so a typed value stays as typed.
class PriceBoxes : public QObject {
    Q_OBJECT
public:
    PriceBoxes(QLineEdit* listPrice, QLineEdit* unitPrice, QLineEdit* quantity, QLineEdit* discount,
               QLineEdit* total, QObject* parent);

    // The steps, also callable when a box was filled by the program.
    void followDiscount();
    void followUnitPrice();
    void followTotal();

private:
    QLineEdit* m_listPrice;
    QLineEdit* m_unitPrice;
    QLineEdit* m_quantity;
    QLineEdit* m_discount;
    QLineEdit* m_total;
};
