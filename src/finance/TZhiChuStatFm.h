#pragma once

#include "finance/RecordFm.h"

// 支出统计: opens on today's expense rows.
class TZhiChuStatFm : public RecordFm {
    Q_OBJECT
public:
    explicit TZhiChuStatFm(const LoginContext& login, QWidget* parent = nullptr)
        : RecordFm(RecordKind::Expenses, login, parent) {}
};
