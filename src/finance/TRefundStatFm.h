#pragma once

#include "finance/RecordFm.h"

// 退货记录: every refund; "会员姓名" filters on 姓名.
class TRefundStatFm : public RecordFm {
    Q_OBJECT
public:
    explicit TRefundStatFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Refunds, login, parent) {}
};
