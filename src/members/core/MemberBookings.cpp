#include "members/core/MemberBookings.h"

#include "customers/CardAccount.h"
#include "store/AdminLog.h"
#include "store/Clock.h"

namespace {

QVariant money(Money amount) {
    return QVariant::fromValue(amount);
}

QVariant dateOrNull(const QDate& day) {
    return day.isValid() ? QVariant(day) : QVariant(QMetaType(QMetaType::QString));
}

QVariant dateTimeOrNull(const QDateTime& moment) {
    return moment.isValid() ? QVariant(moment) : QVariant(QMetaType(QMetaType::QString));
}

Status updateFields(const Db& db, const Member& asRead, const Member& edited) {
    if (edited.card != asRead.card) {
        // the open rents carry the old number: they could never be returned
        auto open = MemberLookup::openRentCount(db, asRead.card);
        if (!open)
            return Error{open.error()};
        if (open.value() > 0)
            return Error{
                QStringLiteral("该会员还有 %1 件商品未还, 不能修改会员卡号.").arg(open.value())};
    }
    auto done =
        db.exec(QStringLiteral("update 会员库 set 会员卡号 = ?, 会员姓名 = ?, 会员类型 = ?, "
                               "会员性别 = ?, 单位部门 = ?, 证件号码 = ?, 联系方式 = ?, "
                               "住址 = ?, 状态 = ?, 备注 = ?, 登记日期 = ?, 有效期 = ? "
                               "where 会员卡号 = ?"),
                {edited.card, edited.name, edited.type, edited.sex, edited.unit, edited.idNumber,
                 edited.contact, edited.address, edited.status, edited.remark,
                 dateOrNull(edited.registered), dateTimeOrNull(edited.expiry), asRead.card});
    if (!done)
        return Error{done.error()};
    if (done.value() == 0)
        return Error{QStringLiteral("会员卡号 %1 已不在会员库中").arg(asRead.card)};
    return {};
}

} // namespace

namespace MemberBookings {

Result<QStringList> unitNames(const Db& db) {
    auto rows = db.select(QStringLiteral("select 名称 from 单位部门"));
    if (!rows)
        return Error{rows.error()};
    QStringList names;
    while (rows.value().next())
        names << rows.value().text(QStringLiteral("名称"));
    return names;
}

Status registerMember(const Db& db, const NewMember& member, const QString& admin) {
    const QString card = member.card.trimmed();
    const QString name = member.name.trimmed();
    const QString type = member.type.trimmed();
    if (card.isEmpty() || name.isEmpty() || type.isEmpty())
        return Error{QStringLiteral("字体加重的项目必须填写!")};
    return db.inTransaction([&]() -> Status {
        auto row = db.exec(
            QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,会员性别,单位部门,"
                           "证件号码,联系方式,住址,备注,卡内金额,会员积分,登记日期,登记人,状态,"
                           "密码,有效期) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
            {card, name, type, member.sex.trimmed(), member.unit.trimmed(),
             member.idNumber.trimmed(), member.contact.trimmed(), member.address.trimmed(),
             member.remark, money(Money()), money(Money()), Clock::today(), admin,
             QStringLiteral("正常"), QStringLiteral("7302"), dateTimeOrNull(member.expiry)});
        if (!row)
            return Error{row.error()};
        auto income =
            db.exec(QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,"
                                   "会员姓名,管理员) values(?,?,?,?,?,?)"),
                    {QStringLiteral("开户费"), money(member.fee), Clock::now(), card, name, admin});
        if (!income)
            return Error{income.error()};
        return {};
    });
}

Status save(const Db& db, const Member& asRead, const Member& edited) {
    return db.inTransaction([&]() { return updateFields(db, asRead, edited); });
}

Status correct(const Db& db, const Member& asRead, const Member& edited, const QString& admin) {
    return db.inTransaction([&]() -> Status {
        if (Status s = updateFields(db, asRead, edited); !s)
            return s;
        const Money balanceChange = edited.balance - asRead.balance;
        const Money pointsChange = edited.points - asRead.points;
        auto changed = CardAccount::change(
            db, edited.card,
            balanceChange.isZero() ? std::nullopt : std::optional<Money>(balanceChange),
            pointsChange.isZero() ? std::nullopt : std::optional<Money>(pointsChange));
        if (!changed)
            return Error{changed.error()};
        return AdminLog::write(db, QStringLiteral("修改会员卡内金额和积分"), admin, edited.card);
    });
}

Status remove(const Db& db, const QString& card) {
    auto done = db.exec(QStringLiteral("delete from 会员库 where 会员卡号 = ?"), {card});
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace MemberBookings
