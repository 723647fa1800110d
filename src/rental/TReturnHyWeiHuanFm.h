#pragma once

#include "rental/UnreturnedList.h"

// "未还信息" of the return window: the current card's copies not yet returned.
class TReturnHyWeiHuanFm : public UnreturnedList {
    Q_OBJECT
public:
    TReturnHyWeiHuanFm(const QString& connectionName, const QString& card, QWidget* parent)
        : UnreturnedList(connectionName, card, parent) {}
};
