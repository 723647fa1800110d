#pragma once

#include "rental/UnreturnedList.h"

// "未还信息" of the rent window: the current card's copies not yet returned.
class TRentHyWeiHuanFm : public UnreturnedList {
    Q_OBJECT
public:
    TRentHyWeiHuanFm(const QString& connectionName, const QString& card, QWidget* parent)
        : UnreturnedList(connectionName, card, parent) {}
};
