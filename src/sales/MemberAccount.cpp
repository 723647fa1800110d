#include "sales/MemberAccount.h"

namespace MemberAccount {

Status change(const Db& db, const QString& card, std::optional<Money> balanceChange,
              Money pointsChange) {
    const QString table = QStringLiteral("会员库");
    const QString key = QStringLiteral("会员卡号");
    if (balanceChange) {
        auto balance = db.addTo(table, QStringLiteral("卡内金额"),
                                QVariant::fromValue(*balanceChange), key, card);
        if (!balance)
            return Error{balance.error()};
    }
    auto points =
        db.addTo(table, QStringLiteral("会员积分"), QVariant::fromValue(pointsChange), key, card);
    if (!points)
        return Error{points.error()};
    return {};
}

} // namespace MemberAccount
