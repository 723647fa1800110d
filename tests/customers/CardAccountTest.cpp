#include "customers/CardAccount.h"
#include "customers/Customers.h"
#include "customers/MemberLookup.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

class CardAccountTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额,会员积分) "
                              "values(?,?,?,?,?)"),
               {QStringLiteral("8001"), QStringLiteral("张三"), QStringLiteral("散客"),
                QVariant::fromValue(Money::fromInt(100)), QVariant()});
    }
    // A change of a card, as bookings make it: inside their transaction.
    Result<qint64> booked(const QString& card, std::optional<Money> balance,
                          std::optional<Money> points) {
        Result<qint64> changed = Error{QString()};
        const Status done = db.inTransaction([&]() -> Status {
            changed = CardAccount::change(db, card, balance, points);
            return changed ? Status() : Status(Error{changed.error()});
        });
        return done ? changed : Result<qint64>(Error{done.error()});
    }
    Member member(const QString& card) {
        auto found = MemberLookup::member(db, card);
        EXPECT_TRUE(found.ok() && found.value().has_value());
        return found.ok() && found.value() ? *found.value() : Member{};
    }
};
SHOP_ON_BOTH_ENGINES(CardAccountTest);

TEST_P(CardAccountTest, ChangesAreRelativeAndOnlyWhatIsGiven) {
    // another workstation books meanwhile: both changes stay
    execOk(QStringLiteral("update 会员库 set 卡内金额 = 卡内金额 + ? where 会员卡号 = ?"),
           {QVariant::fromValue(Money::fromUnits(5)), QStringLiteral("8001")});
    // outside a booking a change of a card is refused, and nothing written
    auto alone = CardAccount::change(db, QStringLiteral("8001"), Money::fromInt(1), std::nullopt);
    ASSERT_FALSE(alone.ok());
    EXPECT_EQ(alone.error(),
              QStringLiteral("程序错误: 改变会员卡内金额或积分 只能在一次业务的事务中进行, "
                             "没有写入任何数据."));
    auto changed = booked(QStringLiteral("8001"), -Money::fromUnits(120005), Money::fromUnits(7));
    ASSERT_TRUE(changed.ok()) << changed.error().toStdString();
    EXPECT_EQ(changed.value(), 1);
    Member m = member(QStringLiteral("8001"));
    EXPECT_EQ(m.balance, Money::fromInt(88)); // 100 + 0.0005 - 12.0005
    EXPECT_EQ(m.points, Money::fromUnits(7)); // NULL counts as 0

    ASSERT_TRUE(booked(QStringLiteral("8001"), std::nullopt, Money::fromInt(1)).ok());
    m = member(QStringLiteral("8001"));
    EXPECT_EQ(m.balance, Money::fromInt(88));
    EXPECT_EQ(m.points, Money::fromUnits(10007));
}

TEST_P(CardAccountTest, WalkInAndUnknownCardsChangeNoRow) {
    for (const QString& card : {WalkIn, QStringLiteral("8001 "), QStringLiteral("9999")}) {
        auto changed = booked(card, Money::fromInt(1), Money::fromInt(1));
        ASSERT_TRUE(changed.ok()) << changed.error().toStdString();
        EXPECT_EQ(changed.value(), 0) << card.toStdString();
        EXPECT_TRUE(db.inTransaction([&] {
                          return CardAccount::changeIfMember(db, card, Money::fromInt(1),
                                                             std::nullopt);
                      }).ok());
    }
    EXPECT_EQ(member(QStringLiteral("8001")).balance, Money::fromInt(100));
    auto none = MemberLookup::member(db, WalkIn);
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none.value().has_value());
}

TEST_P(CardAccountTest, OpenRentsAreCountedPerCard) {
    for (const char* rent : {"A1 否", "A2 否", "A3 是"}) {
        const QStringList parts = QString::fromUtf8(rent).split(u' ');
        execOk(QStringLiteral("insert into 出租记录(条形码,会员卡号,已还) values(?,?,?)"),
               {parts[0], QStringLiteral("8001"), parts[1]});
    }
    auto n = MemberLookup::openRentCount(db, QStringLiteral("8001"));
    ASSERT_TRUE(n.ok()) << n.error().toStdString();
    EXPECT_EQ(n.value(), 2);
    auto none = MemberLookup::openRentCount(db, QStringLiteral("8002"));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.value(), 0);
}

// Another tool, an import or an old file can store more than an amount
// holds (numeric(19,4) reaches 999 999 999 999 999.9999; SQLite turns a too
// large integer into a real number): an error naming where, nothing booked.
TEST_P(CardAccountTest, AStoredValueBeyondAnAmountIsAnErrorAndNothingIsBookedOnIt) {
    const QString beyond = GetParam() == Engine::Postgres ? QStringLiteral("999999999999995")
                                                          : QStringLiteral("9999999999999950000");
    execOk(QStringLiteral("update 会员库 set 会员积分 = %1 where 会员卡号 = '8001'").arg(beyond));
    auto found = MemberLookup::member(db, QStringLiteral("8001"));
    ASSERT_FALSE(found.ok());
    EXPECT_EQ(found.error(),
              QStringLiteral("会员库 中 会员卡号 8001 的 会员积分 超出程序能处理的范围 "
                             "(最大 922337203685477.5807), 不能在其上登记. "
                             "请先改正这个值."));
    const Status paid = db.inTransaction([&] {
        return CardAccount::payFromCard(db, QStringLiteral("8001"), Money::fromInt(10),
                                        Money::fromInt(1));
    });
    EXPECT_EQ(paid.error(), found.error());
    EXPECT_EQ(count(QStringLiteral("会员库"), QStringLiteral("卡内金额 = ?"),
                    {QVariant::fromValue(Money::fromInt(100))}),
              1);
    // a figure over many rows never wraps: an error (no wrapped or zero amount)
    execOk(QStringLiteral("update 会员库 set 会员积分 = 0, 卡内金额 = ? where 会员卡号 = '8001'"),
           {QVariant::fromValue(Money::fromUnits(Money::MaxUnits - 1))});
    execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,卡内金额) values('8002','李四',?)"),
           {QVariant::fromValue(Money::fromUnits(Money::MaxUnits - 1))});
    auto sum = db.scalarMoney(QStringLiteral("select sum(卡内金额) from 会员库"));
    ASSERT_FALSE(sum.ok()) << sum.value().toString().toStdString();
    EXPECT_EQ(sum.error(), QStringLiteral("读到的金额 超出程序能处理的范围 "
                                          "(最大 922337203685477.5807), 不能计算."));
    // and a change that would leave the range is refused naming the card
    auto raised = booked(QStringLiteral("8002"), Money::fromInt(1), std::nullopt);
    ASSERT_FALSE(raised.ok());
    EXPECT_EQ(raised.error(),
              QStringLiteral("会员卡号 8002 的 卡内金额 加上 1 后超出金额能保存的范围, 不能登记."));
}
