#pragma once

#include "customers/MemberLookup.h"
#include "store/Db.h"
#include "store/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

// What the add window registers.
struct NewMember {
    QString card;
    QString name;
    QString type;
    QString sex = QStringLiteral("男");
    QString unit;
    QString idNumber;
    QString contact;
    QString address;
    QString remark; // kept as typed, line breaks and blanks included
    QDateTime expiry = defaultExpiry();
    Money fee; // the opening fee of the chosen type, booked even when 0

    static QDateTime defaultExpiry() { return QDateTime(QDate(2500, 1, 1), QTime(0, 0)); }
};

namespace MemberBookings {

// The names of 单位部门, offered for a member's unit.
Result<QStringList> unitNames(const Db& db);

// The member row (balance and points 0, status "正常", password "7302",
// registered today by admin) and its "开户费" income row, together or not at
// all. Texts but the remark are trimmed; card, name and type are required
// ("字体加重的项目必须填写!"). A card number in use is refused by the key.
Status registerMember(const Db& db, const NewMember& member, const QString& admin);

// Saves the edit window's fields of the row read as asRead: card, name,
// type, sex, unit, id number, contact, address, status, remark, registration
// date and expiry. Balance and points are left alone, so money booked
// meanwhile by a counter stays.
Status save(const Db& db, const Member& asRead, const Member& edited);

// The same save with the balance and points corrected to edited's values,
// and the log row "修改会员卡内金额和积分" with "条形码:" + the card number
// after saving. The correction is applied as the difference to the values
// read, so a sale booked meanwhile on another workstation is kept.
Status correct(const Db& db, const Member& asRead, const Member& edited, const QString& admin);

// Deletes the member; the records carrying the card number stay.
Status remove(const Db& db, const QString& card);

} // namespace MemberBookings
