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
    // The amount as the window displays it ("50.00", "-30"), for the note;
    // empty: the amount in its shortest form.
    QString shownAmount;
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

namespace RechargeBooking {

// Raises 卡内金额 by the amount (a relative update, so a sale booked on
// another workstation since the lookup is kept) and books the "充值" income
// row with 说明 note(recharge), in one transaction.
// Gives the balance read back after the update. A card no longer in the
// registry is refused and nothing is written. Points are not touched.
Result<Money> book(const Db& db, const Recharge& recharge, const QString& admin);

// The 说明 of the income row: "[充值金额:" + the amount as shown + "元]" + remark.
QString note(const Recharge& recharge);

} // namespace RechargeBooking
