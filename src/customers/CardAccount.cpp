#include "customers/CardAccount.h"

#include "customers/Customers.h"
#include "customers/MemberLookup.h"
#include "store/InBooking.h"

namespace CardAccount {

Result<qint64> change(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    if (Status inside = insideBooking(db, QStringLiteral("改变会员卡内金额或积分")); !inside)
        return Error{inside.error()};
    qint64 changed = 0;
    const std::pair<QString, std::optional<Money>> changes[] = {
        {QStringLiteral("卡内金额"), balanceChange}, {QStringLiteral("会员积分"), pointsChange}};
    for (const auto& [column, delta] : changes) {
        if (!delta)
            continue;
        auto done = db.addTo(QStringLiteral("会员库"), column, QVariant::fromValue(*delta),
                             QStringLiteral("会员卡号"), card);
        if (!done && done.error() == Db::AmountOutOfRange) {
            // the stored value itself may be one no amount holds: named so
            if (auto stored = MemberLookup::member(db, card); !stored)
                return Error{stored.error()};
            return Error{
                QStringLiteral("会员卡号 %1 的 %2 加上 %3 后超出金额能保存的范围, 不能登记.")
                    .arg(card.trimmed(), column, delta->toString())};
        }
        if (!done)
            return Error{done.error()};
        changed = std::max(changed, done.value());
    }
    return changed;
}

Status payFromCard(const Db& db, const QString& card, Money amount,
                   std::optional<Money> pointsChange) {
    if (card.trimmed() == WalkIn || card.trimmed().isEmpty())
        return Error{QStringLiteral("散客不能卡内扣除, 请选择现金支付.")};
    auto done = change(db, card, -amount, pointsChange);
    if (!done)
        return Error{done.error()};
    if (done.value() != 1)
        return Error{QStringLiteral("会员卡号 %1 已不在会员库中 (已删除或已改号), 不能卡内扣除, "
                                    "请重新查找会员或选择现金支付.")
                         .arg(card)};
    return {};
}

Status returnToCard(const Db& db, const QString& card, Money amount,
                    std::optional<Money> pointsChange) {
    auto done = change(db, card, amount, pointsChange);
    if (!done)
        return Error{done.error()};
    if (done.value() != 1)
        return Error{QStringLiteral("会员卡号 %1 已不在会员库中 (已删除或已改号), 不能返还卡内.")
                         .arg(card.trimmed())};
    return {};
}

Status changeIfMember(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    auto done = change(db, card, balanceChange, pointsChange);
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace CardAccount
