#pragma once

#include "finance/RecordFm.h"

// 进货记录: every purchase.
class TPurchaseRecordFm : public RecordFm {
    Q_OBJECT
public:
    explicit TPurchaseRecordFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Purchases, login, parent) {}
};
