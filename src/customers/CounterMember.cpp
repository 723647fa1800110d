#include "customers/CounterMember.h"

bool CounterMember::expired(const QDateTime& now) const {
    return terms && terms->expiryCounts && member.expiry.isValid() && now > member.expiry;
}

namespace CounterMembers {

Result<std::optional<CounterMember>> find(const Db& db, const QString& typedCard) {
    auto member = MemberLookup::member(db, typedCard.trimmed());
    if (!member)
        return Error{member.error()};
    if (!member.value())
        return std::optional<CounterMember>();
    CounterMember found{*member.value(), std::nullopt, 0};
    auto type = MemberLookup::memberType(db, found.member.type);
    if (!type)
        return Error{type.error()};
    found.terms = type.value();
    auto open = MemberLookup::openRentCount(db, found.member.card);
    if (!open)
        return Error{open.error()};
    found.openRents = open.value();
    return std::optional<CounterMember>(found);
}

} // namespace CounterMembers
