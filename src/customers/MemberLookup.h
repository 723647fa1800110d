#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// A member row (会员库) as the counters and the member windows read it.
// 密码, 相片 and 出生日期 are never read here.
struct Member {
    QString card;         // 会员卡号
    QString name;         // 会员姓名
    QString type;         // 会员类型
    QString sex;          // 会员性别
    QString unit;         // 单位部门
    QString idNumber;     // 证件号码
    QString contact;      // 联系方式
    QString address;      // 住址
    QString status;       // 状态: "正常" or "停用"
    QString remark;       // 备注
    QString registeredBy; // 登记人
    QDate registered;     // 登记日期
    QDateTime expiry;     // 有效期
    Money balance;        // 卡内金额
    Money points;         // 会员积分
};

// A member type (会员类型): the terms every member of the type gets.
struct MemberType {
    QString name;                       // 名称
    qint64 quota = 999;                 // 可借数量: most items out on rent at once
    Money discount = Money::fromInt(1); // 折扣: sale price multiplier
    Money fee;                          // 开户费: booked as income at registration
    bool expiryCounts = false;          // 有效期限制
    bool rentFromCard = true;           // 归还时租金卡内扣除
    bool noDeposit = false;             // 免押金
};

// Members and member types by their keys; every typed value is a bound
// parameter. Nothing found is an empty optional, not an error.
namespace MemberLookup {

Result<std::optional<Member>> member(const Db& db, const QString& card);
Result<std::optional<MemberType>> memberType(const Db& db, const QString& name);
// Copies rented to the card and not yet returned.
Result<qint64> openRentCount(const Db& db, const QString& card);

} // namespace MemberLookup
