#include "members/core/RechargeBooking.h"

#include "customers/CardAccount.h"
#include "store/Clock.h"

namespace RechargeBooking {

QString note(const Recharge& recharge) {
    const QString shown =
        recharge.shownAmount.isEmpty() ? recharge.amount.toString() : recharge.shownAmount;
    return QStringLiteral("[充值金额:") + shown + QStringLiteral("元]") + recharge.remark;
}

Result<Money> book(const Db& db, const Recharge& recharge, const QString& admin) {
    const QString card = recharge.card.trimmed();
    Money balance;
    Status done = db.inTransaction(
        [&]() -> Status {
            auto changed = CardAccount::change(db, card, recharge.amount, std::nullopt);
            if (!changed)
                return Error{changed.error()};
            if (changed.value() == 0)
                return Error{QStringLiteral("没有找到,请检查收入的是否正确!")};
            auto income =
                db.exec(QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,"
                                       "会员姓名,管理员,说明) values(?,?,?,?,?,?,?)"),
                        {QStringLiteral("充值"), QVariant::fromValue(recharge.amount), Clock::now(),
                         card, recharge.name.trimmed(), admin, note(recharge)});
            if (!income)
                return Error{income.error()};
            auto after = db.scalarMoney(
                QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = ?"), {card});
            if (!after)
                return Error{after.error()};
            balance = after.value();
            return {};
        },
        recharge.bookingKey);
    if (!done)
        return Error{done.error()};
    return balance;
}

} // namespace RechargeBooking
