#pragma once

#include "sales/core/SaleLine.h"

#include <QDialog>

class NumberEdit;
class QPushButton;

// "请输入": edits the total of one sale line (the unit price and the
// discount follow it when the sale window recounts).
class TSalePriceXiuGaiFm : public QDialog {
    Q_OBJECT
public:
    TSalePriceXiuGaiFm(SaleLine& line, QWidget* parent = nullptr);

    NumberEdit* totalEdit() const { return m_total; }

private:
    void confirm();
    // Writes the typed total into the line.
    void XiuGaiAll(Money total);

    SaleLine& m_line;
    NumberEdit* m_total;
    QPushButton* m_ok;
};
