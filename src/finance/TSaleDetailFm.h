#pragma once

#include "finance/RecordFm.h"

// 销售记录: every sale line; "会员姓名" filters on 姓名.
class TSaleDetailFm : public RecordFm {
    Q_OBJECT
public:
    explicit TSaleDetailFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Sales, login, parent) {}
};
