#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <optional>

// The money on a member card: 卡内金额 (balance) and 会员积分 (points).
namespace CardAccount {

// Adds balanceChange and pointsChange (each when given) to the card's
// balance and points by relative updates (Db::addTo), so money booked
// meanwhile on another workstation is kept; NULL counts as 0, and a sum an
// amount cannot hold is refused. Gives the member rows
// changed: 0 for the walk-in customer, who has no member row, or a card no
// longer in the registry. Call it inside the booking's transaction.
Result<qint64> change(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange);

// Takes a card payment off the member's balance (and adds pointsChange when
// given): refused, with the reason, for the walk-in customer ("散客不能卡内扣除,
// 请选择现金支付.") and for a card no longer in the registry (deleted or
// renumbered since it was looked up), so that a card payment always leaves
// exactly one member row poorer. Call it inside the booking's transaction.
Status payFromCard(const Db& db, const QString& card, Money amount,
                   std::optional<Money> pointsChange = std::nullopt);

// Gives money back onto a card (a refund of a card-paid sale): refused,
// with the reason, when the card is no longer in the registry, so that the
// money never goes nowhere. Call it inside the booking's transaction.
Status returnToCard(const Db& db, const QString& card, Money amount,
                    std::optional<Money> pointsChange = std::nullopt);

// The same for a booking whose card may be the walk-in customer: a failure
// of the statement is the only error.
Status changeIfMember(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange);

} // namespace CardAccount
