#pragma once

#include "finance/RecordFm.h"

// 收入状况统计: opens on today's income rows.
class TInComeStatFm : public RecordFm {
    Q_OBJECT
public:
    explicit TInComeStatFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Income, login, parent) {}
};
