#pragma once

#include "finance/RecordFm.h"

// 出租记录: opens on the items still out; the 已还 choice is always searched.
class TRentDetailFm : public RecordFm {
    Q_OBJECT
public:
    explicit TRentDetailFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Rent, login, parent) {}
};
