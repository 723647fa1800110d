#pragma once

#include "rental/AmountEditFm.h"

// "请输入租金": edits the rent of one line.
class TReturnZuJinXiuGaiFm : public AmountEditFm {
    Q_OBJECT
public:
    TReturnZuJinXiuGaiFm(Money& rent, QWidget* parent)
        : AmountEditFm(QStringLiteral("请输入租金"), QStringLiteral("租金"), rent, parent) {}
};
