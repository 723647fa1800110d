#include "customers/MemberLookup.h"

namespace MemberLookup {

Result<std::optional<Member>> member(const Db& db, const QString& card) {
    auto rows = db.select(QStringLiteral("select * from 会员库 where 会员卡号 = ?"), {card});
    if (!rows)
        return Error{rows.error()};
    Rows& row = rows.value();
    if (!row.next())
        return std::optional<Member>();
    Member m;
    m.card = row.text(QStringLiteral("会员卡号"));
    m.name = row.text(QStringLiteral("会员姓名"));
    m.type = row.text(QStringLiteral("会员类型"));
    m.sex = row.text(QStringLiteral("会员性别"));
    m.unit = row.text(QStringLiteral("单位部门"));
    m.idNumber = row.text(QStringLiteral("证件号码"));
    m.contact = row.text(QStringLiteral("联系方式"));
    m.address = row.text(QStringLiteral("住址"));
    m.status = row.text(QStringLiteral("状态"));
    m.remark = row.text(QStringLiteral("备注"));
    m.registeredBy = row.text(QStringLiteral("登记人"));
    m.registered = row.date(QStringLiteral("登记日期"));
    m.expiry = row.dateTime(QStringLiteral("有效期"));
    m.balance = row.money(QStringLiteral("卡内金额"));
    m.points = row.money(QStringLiteral("会员积分"));
    // a value no amount holds is not read as one: nothing is booked on it
    for (const auto& [column, value] : {std::pair{QStringLiteral("卡内金额"), m.balance},
                                        std::pair{QStringLiteral("会员积分"), m.points}}) {
        if (!value.isValid())
            return Error{Money::unreadableMessage(QStringLiteral("会员库"), column,
                                                  QStringLiteral("会员卡号 ") + m.card)};
    }
    return std::optional<Member>(m);
}

Result<std::optional<MemberType>> memberType(const Db& db, const QString& name) {
    auto rows = db.select(QStringLiteral("select * from 会员类型 where 名称 = ?"), {name});
    if (!rows)
        return Error{rows.error()};
    const Rows& row = rows.value();
    if (!rows.value().next())
        return std::optional<MemberType>();
    MemberType type;
    type.name = row.text(QStringLiteral("名称"));
    type.quota = row.integer(QStringLiteral("可借数量"));
    type.discount = row.money(QStringLiteral("折扣"));
    type.fee = row.money(QStringLiteral("开户费"));
    type.expiryCounts = row.yesNo(QStringLiteral("有效期限制"));
    type.rentFromCard = row.yesNo(QStringLiteral("归还时租金卡内扣除"));
    type.noDeposit = row.yesNo(QStringLiteral("免押金"));
    for (const auto& [column, value] : {std::pair{QStringLiteral("折扣"), type.discount},
                                        std::pair{QStringLiteral("开户费"), type.fee}}) {
        if (!value.isValid())
            return Error{Money::unreadableMessage(QStringLiteral("会员类型"), column,
                                                  QStringLiteral("名称 ") + type.name)};
    }
    return std::optional<MemberType>(type);
}

Result<qint64> openRentCount(const Db& db, const QString& card) {
    auto n = db.scalarInteger(
        QStringLiteral("select count(*) from 出租记录 where 会员卡号 = ? and 已还 = ?"),
        {card, QStringLiteral("否")});
    if (!n)
        return Error{n.error()};
    return n.value().value_or(0);
}

} // namespace MemberLookup
