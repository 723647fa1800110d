#include "members/MemberTypeBooking.h"

namespace {

QVariantList values(const MemberType& type) {
    return {type.name,
            type.quota,
            QVariant::fromValue(type.discount),
            QVariant::fromValue(type.fee),
            type.expiryCounts,
            type.rentFromCard,
            type.noDeposit};
}

Status changedOne(const Result<qint64>& done) {
    if (!done)
        return Error{done.error()};
    if (done.value() == 0)
        return Error{QStringLiteral("没有找到该会员类型")};
    return {};
}

} // namespace

namespace MemberTypeBooking {

Result<MemberType> fromEntry(const MemberTypeEntry& entry) {
    MemberType type;
    type.name = entry.name.trimmed();
    if (type.name.isEmpty())
        return Error{QStringLiteral("请填写完整！")};
    const QString quota = entry.quota.trimmed();
    if (!quota.isEmpty()) {
        bool ok = false;
        type.quota = quota.toLongLong(&ok);
        if (!ok || type.quota < 0 || type.quota > 2147483647)
            return Error{QStringLiteral("可借数量必须是整数!")};
    }
    const QString discount = entry.discount.trimmed();
    if (!discount.isEmpty()) {
        const auto parsed = Money::parse(discount);
        if (!parsed)
            return Error{QStringLiteral("折扣必须是数字!")};
        type.discount = *parsed;
    }
    const QString fee = entry.fee.trimmed();
    if (!fee.isEmpty()) {
        const auto parsed = Money::parse(fee);
        if (!parsed)
            return Error{QStringLiteral("开户费必须是数字!")};
        type.fee = *parsed;
    }
    type.expiryCounts = entry.expiryCounts;
    type.rentFromCard = entry.rentFromCard;
    type.noDeposit = entry.noDeposit;
    return type;
}

Result<std::optional<MemberType>> find(const Db& db, const QString& name) {
    auto rows = db.select(QStringLiteral("select * from 会员类型 where 名称 = ?"), {name});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<MemberType>();
    const Rows& row = rows.value();
    MemberType type;
    type.name = row.text(QStringLiteral("名称"));
    type.quota = row.integer(QStringLiteral("可借数量"));
    type.discount = row.money(QStringLiteral("折扣"));
    type.fee = row.money(QStringLiteral("开户费"));
    type.expiryCounts = row.yesNo(QStringLiteral("有效期限制"));
    type.rentFromCard = row.yesNo(QStringLiteral("归还时租金卡内扣除"));
    type.noDeposit = row.yesNo(QStringLiteral("免押金"));
    return std::optional<MemberType>(type);
}

Result<QStringList> memberTypeNames(const Db& db) {
    auto rows = db.select(QStringLiteral("select 名称 from 会员类型"));
    if (!rows)
        return Error{rows.error()};
    QStringList names;
    while (rows.value().next()) {
        const QString name = rows.value().text(QStringLiteral("名称"));
        if (name != WalkIn)
            names << name;
    }
    return names;
}

Status add(const Db& db, const MemberType& type) {
    QVariantList params = values(type);
    params << false; // 免租金
    auto done = db.exec(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,"
                                       "归还时租金卡内扣除,免押金,免租金) values(?,?,?,?,?,?,?,?)"),
                        params);
    if (!done)
        return Error{done.error()};
    return {};
}

Status modify(const Db& db, const QString& originalName, const MemberType& type) {
    MemberType changed = type;
    if (originalName == WalkIn)
        changed.name = WalkIn;
    QVariantList params = values(changed);
    params << originalName;
    return changedOne(
        db.exec(QStringLiteral("update 会员类型 set 名称 = ?, 可借数量 = ?, 折扣 = ?, "
                               "开户费 = ?, 有效期限制 = ?, 归还时租金卡内扣除 = ?, "
                               "免押金 = ? where 名称 = ?"),
                params));
}

Status remove(const Db& db, const QString& name) {
    if (name == WalkIn)
        return Error{QStringLiteral("散客类型不能删除!")};
    auto done = db.exec(QStringLiteral("delete from 会员类型 where 名称 = ?"), {name});
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace MemberTypeBooking
