#include "customers/CounterMember.h"
#include "customers/Customers.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

class CounterMemberTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(CounterMemberTest);

TEST_P(CounterMemberTest, ATypedCardGivesTheMemberItsTermsAndItsOpenRents) {
    for (const char* row : {"8001 散客", "8002 金卡"})
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额) "
                              "values(?,?,?,?)"),
               {QString::fromUtf8(row).section(u' ', 0, 0), QStringLiteral("张三"),
                QString::fromUtf8(row).section(u' ', 1, 1),
                QVariant::fromValue(Money::fromInt(30))});
    for (const char* rent : {"B1 否", "B2 否", "B3 是"})
        execOk(QStringLiteral("insert into 出租记录(条形码,会员卡号,已还) values(?,?,?)"),
               {QString::fromUtf8(rent).section(u' ', 0, 0), QStringLiteral("8001"),
                QString::fromUtf8(rent).section(u' ', 1, 1)});

    auto found = CounterMembers::find(db, QStringLiteral(" 8001 "));
    ASSERT_TRUE(found.ok()) << found.error().toStdString();
    ASSERT_TRUE(found.value().has_value());
    EXPECT_EQ(found.value()->member.balance, Money::fromInt(30));
    ASSERT_TRUE(found.value()->terms.has_value());
    EXPECT_EQ(found.value()->terms->name, QStringLiteral("散客"));
    EXPECT_EQ(found.value()->openRents, 2);

    auto unknownType = CounterMembers::find(db, QStringLiteral("8002"));
    ASSERT_TRUE(unknownType.ok() && unknownType.value().has_value());
    EXPECT_FALSE(unknownType.value()->terms.has_value());
    EXPECT_EQ(unknownType.value()->openRents, 0);

    for (const QString& card : {QStringLiteral("9999"), WalkIn, QString()}) {
        auto none = CounterMembers::find(db, card);
        ASSERT_TRUE(none.ok());
        EXPECT_FALSE(none.value().has_value()) << card.toStdString();
    }
}

TEST(CounterMember, ExpiredOnlyWhenTheTypeCountsTheValidity) {
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 0));
    CounterMember card;
    card.member.expiry = now.addSecs(-1);
    EXPECT_FALSE(card.expired(now)) << "no terms: no warning";
    card.terms = MemberType{};
    EXPECT_FALSE(card.expired(now));
    card.terms->expiryCounts = true;
    EXPECT_TRUE(card.expired(now));
    card.member.expiry = now;
    EXPECT_FALSE(card.expired(now));
    card.member.expiry = {};
    EXPECT_FALSE(card.expired(now)) << "no validity recorded";
}
