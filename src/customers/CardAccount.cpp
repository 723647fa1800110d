#include "customers/CardAccount.h"

namespace CardAccount {

Result<qint64> change(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    qint64 changed = 0;
    const std::pair<QString, std::optional<Money>> changes[] = {
        {QStringLiteral("卡内金额"), balanceChange}, {QStringLiteral("会员积分"), pointsChange}};
    for (const auto& [column, delta] : changes) {
        if (!delta)
            continue;
        auto done = db.addTo(QStringLiteral("会员库"), column, QVariant::fromValue(*delta),
                             QStringLiteral("会员卡号"), card);
        if (!done)
            return Error{done.error()};
        changed = std::max(changed, done.value());
    }
    return changed;
}

Status changeIfMember(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    auto done = change(db, card, balanceChange, pointsChange);
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace CardAccount
