#pragma once

#include "finance/MoneyEntryFm.h"

// 收费: other income (a fine, a fee) booked into 收入记录 with the card
// field "收费". The item starts as "罚款".
class TPayFm : public MoneyEntryFm {
    Q_OBJECT
public:
    explicit TPayFm(const LoginContext& login, QWidget* parent = nullptr);

protected:
    Result<qint64> book(const Entry& entry) const override;
};
