#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QList>
#include <QString>
#include <optional>

// A member type: the terms every member of the type gets.
struct MemberType {
    QString name;                       // 名称
    qint64 quota = 999;                 // 可借数量: most items out on rent at once
    Money discount = Money::fromInt(1); // 折扣: sale price multiplier
    Money fee;                          // 开户费: booked as income at registration
    bool expiryCounts = false;          // 有效期限制
    bool rentFromCard = true;           // 归还时租金卡内扣除
    bool noDeposit = false;             // 免押金
};

// The types window's entries as typed.
struct MemberTypeEntry {
    QString name;
    QString quota;
    QString discount;
    QString fee;
    bool expiryCounts = false;
    bool rentFromCard = true;
    bool noDeposit = false;
};

namespace MemberTypeBooking {

// The walk-in customer's type: always there, never renamed or deleted.
inline const QString WalkIn = QStringLiteral("散客");

// The entries as a type: the name trimmed and required ("请填写完整！"),
// empty numbers taking 999, 1 and 0; a malformed number is refused with a
// message naming the entry.
Result<MemberType> fromEntry(const MemberTypeEntry& entry);

Result<std::optional<MemberType>> find(const Db& db, const QString& name);
// Names in the order the table gives them, "散客" left out: the types a
// member may get.
Result<QStringList> memberTypeNames(const Db& db);

// A new type (免租金 no). A name already in use is refused by the database.
Status add(const Db& db, const MemberType& type);
// Changes the type named originalName; the name of "散客" stays as it is.
Status modify(const Db& db, const QString& originalName, const MemberType& type);
// Refuses "散客" with "散客类型不能删除!". Members of a deleted type keep its name.
Status remove(const Db& db, const QString& name);

} // namespace MemberTypeBooking
