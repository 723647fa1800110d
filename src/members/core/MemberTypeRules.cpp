#include "members/core/MemberTypeRules.h"

#include "customers/Customers.h"
#include "store/Money.h"

namespace MemberTypeRules {

namespace {
const QString Name = QStringLiteral("名称");
}

QVariantMap newType() {
    return {{QStringLiteral("有效期限制"), false},
            {QStringLiteral("归还时租金卡内扣除"), true},
            {QStringLiteral("免押金"), false},
            {QStringLiteral("免租金"), false}};
}

QVariantMap defaultsOnSave() {
    return {{QStringLiteral("可借数量"), qint64(999)},
            {QStringLiteral("折扣"), QVariant::fromValue(Money::fromInt(1))},
            {QStringLiteral("开户费"), QVariant::fromValue(Money())}};
}

void normalize(QVariantMap& row) {
    row.insert(Name, row.value(Name).toString().trimmed());
}

QStringList lockedColumns(const QString& name) {
    if (name == WalkIn)
        return {Name};
    return {};
}

QString refuseDelete(const QString& name) {
    if (name == WalkIn)
        return QStringLiteral("散客类型不能删除!");
    return {};
}

Result<QStringList> memberTypeNames(const Db& db) {
    auto rows = db.select(QStringLiteral("select 名称 from 会员类型"));
    if (!rows)
        return Error{rows.error()};
    QStringList names;
    while (rows.value().next()) {
        const QString name = rows.value().text(Name);
        if (name != WalkIn)
            names << name;
    }
    return names;
}

Result<qint64> typeCount(const Db& db) {
    auto n = db.scalarInteger(QStringLiteral("select count(*) from 会员类型"));
    if (!n)
        return Error{n.error()};
    return n.value().value_or(0);
}

} // namespace MemberTypeRules
