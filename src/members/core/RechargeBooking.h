#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QString>

// A top-up of a member card, or with a negative amount a withdrawal.
struct Recharge {
    QString card;   // the member found by the lookup
    QString name;   // the member's name as shown
    Money amount;   // signed: negative when "充负数" is ticked
    QString remark; // as typed, line breaks included
};

namespace RechargeBooking {

// Raises 卡内金额 by the amount (a relative update, so a sale booked on
// another workstation since the lookup is kept) and books the "充值" income
// row with 说明 "[充值金额:" + amount + "元]" + remark, in one transaction.
// Gives the balance read back after the update. A card no longer in the
// registry is refused and nothing is written. Points are not touched.
Result<Money> book(const Db& db, const Recharge& recharge, const QString& admin);

// The 说明 of the income row.
QString note(Money amount, const QString& remark);

} // namespace RechargeBooking
