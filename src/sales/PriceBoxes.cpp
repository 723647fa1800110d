#include "sales/PriceBoxes.h"

#include "sales/core/PurchasePricing.h"

#include <QLineEdit>

PriceBoxes::PriceBoxes(QLineEdit* listPrice, QLineEdit* unitPrice, QLineEdit* quantity,
                       QLineEdit* discount, QLineEdit* total, QObject* parent)
    : QObject(parent), m_listPrice(listPrice), m_unitPrice(unitPrice), m_quantity(quantity),
      m_discount(discount), m_total(total) {
    // textEdited: only what the user typed, pasted or deleted, never a
    // setText of the program (the rules below) nor a Tab through the box
    connect(m_listPrice, &QLineEdit::textEdited, this, &PriceBoxes::followDiscount);
    connect(m_unitPrice, &QLineEdit::textEdited, this, &PriceBoxes::followDiscount);
    connect(m_discount, &QLineEdit::textEdited, this, &PriceBoxes::followUnitPrice);
    connect(m_unitPrice, &QLineEdit::textChanged, this, &PriceBoxes::followTotal);
    connect(m_quantity, &QLineEdit::textChanged, this, &PriceBoxes::followTotal);
}

void PriceBoxes::followDiscount() {
    // a list price of 0 gives no discount: the box is emptied
    if (auto text = PurchasePricing::discountText(m_listPrice->text(), m_unitPrice->text()))
        m_discount->setText(*text);
}

void PriceBoxes::followUnitPrice() {
    if (auto text = PurchasePricing::unitPriceText(m_listPrice->text(), m_discount->text()))
        m_unitPrice->setText(*text);
}

void PriceBoxes::followTotal() {
    if (auto text = PurchasePricing::totalText(m_quantity->text(), m_unitPrice->text()))
        m_total->setText(*text);
}
