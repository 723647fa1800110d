#pragma once

#include "customers/MemberLookup.h"

#include <QDateTime>
#include <optional>

// What a counter (rent, return, sale, recharge) shows of the member whose
// card number was typed: the member row, the terms of its type and the
// copies it has out on rent, read at once.
struct CounterMember {
    Member member;
    std::optional<MemberType> terms; // nullopt: the type is not among 会员类型
    qint64 openRents = 0;

    // The card's validity has passed and its type counts it (a warning only).
    bool expired(const QDateTime& now) const;
};

namespace CounterMembers {

inline const QString UnknownCard = QStringLiteral("没有找到这个卡号的会员资料,请检查卡号是否正确!");
inline const QString UnknownType = QStringLiteral("会员类型 中没有找到对应的会员类型!");
inline const QString Expired = QStringLiteral("重要提示: 该会员有效期已到!");

// The member of the typed card (blanks around it do not count); nullopt when
// no member has that card.
Result<std::optional<CounterMember>> find(const Db& db, const QString& typedCard);

} // namespace CounterMembers
