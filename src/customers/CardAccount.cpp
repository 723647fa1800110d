#include "customers/CardAccount.h"

namespace CardAccount {

Result<qint64> change(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    QStringList sets;
    QVariantList params;
    const auto add = [&](const QString& column, std::optional<Money> delta) {
        if (!delta)
            return;
        const QString c = Db::quoted(column);
        sets << c + QStringLiteral(" = COALESCE(") + c + QStringLiteral(", 0) + ?");
        params << QVariant::fromValue(*delta);
    };
    add(QStringLiteral("卡内金额"), balanceChange);
    add(QStringLiteral("会员积分"), pointsChange);
    if (sets.isEmpty())
        return qint64(0);
    params << card;
    return db.exec(QStringLiteral("update 会员库 set ") + sets.join(QStringLiteral(", ")) +
                       QStringLiteral(" where 会员卡号 = ?"),
                   params);
}

Status changeIfMember(const Db& db, const QString& card, std::optional<Money> balanceChange,
                      std::optional<Money> pointsChange) {
    auto done = change(db, card, balanceChange, pointsChange);
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace CardAccount
