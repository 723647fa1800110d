#pragma once

#include "finance/MoneyEntryFm.h"

// 支出: an expense booked into 支出记录. The item must be chosen or typed.
class TZhiChuFm : public MoneyEntryFm {
    Q_OBJECT
public:
    explicit TZhiChuFm(const LoginContext& login, QWidget* parent = nullptr);

protected:
    QString refusal() const override;
    Result<qint64> book(const Entry& entry) const override;
};
