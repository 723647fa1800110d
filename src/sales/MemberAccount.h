#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <optional>

namespace MemberAccount {

// Adds balanceChange (when given) to the card's 卡内金额 and pointsChange to
// its 会员积分, relative to what is stored. The walk-in customer has no
// member row, so nothing changes for it. Call it inside the booking's
// transaction.
Status change(const Db& db, const QString& card, std::optional<Money> balanceChange,
              Money pointsChange);

} // namespace MemberAccount
