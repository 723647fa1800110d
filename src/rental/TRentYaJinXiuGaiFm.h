#pragma once

#include "rental/AmountEditFm.h"

// "请输入押金": edits the deposit of one line.
class TRentYaJinXiuGaiFm : public AmountEditFm {
    Q_OBJECT
public:
    TRentYaJinXiuGaiFm(Money& deposit, QWidget* parent)
        : AmountEditFm(QStringLiteral("请输入押金"), QStringLiteral("押金"), deposit, parent) {}
};
