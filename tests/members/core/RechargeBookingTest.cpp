#include "members/core/RechargeBooking.h"
#include "members/core/MemberBookings.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString Admin = QStringLiteral("收银员");
const QDateTime Now(QDate(2026, 7, 1), QTime(9, 5, 0));

Money amount(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}

} // namespace

class RechargeBookingTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(Now);
        execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,卡内金额,会员积分) "
                              "values(?,?,?,?)"),
               {QStringLiteral("8001"), QStringLiteral("王芳"),
                QVariant::fromValue(Money::fromInt(100)), QVariant::fromValue(Money::fromInt(7))});
    }
    void TearDown() override {
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    Money balance() {
        auto b = db.scalarMoney(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = ?"),
                                {QStringLiteral("8001")});
        EXPECT_TRUE(b.ok());
        return b.ok() ? b.value() : Money::fromInt(-999999);
    }

    Result<Money> recharge(Money a, const QString& remark = {}) {
        return RechargeBooking::book(
            db, {QStringLiteral("8001"), QStringLiteral("王芳"), a, remark, {}}, Admin);
    }
};
SHOP_ON_BOTH_ENGINES(RechargeBookingTest);

TEST_P(RechargeBookingTest, TopUpRaisesTheBalanceAndBooksTheIncome) {
    auto after = recharge(Money::fromInt(50), QStringLiteral("现金\n\"O'Brien\""));
    ASSERT_TRUE(after.ok()) << after.error().toStdString();
    EXPECT_EQ(after.value(), Money::fromInt(150));
    EXPECT_EQ(balance(), Money::fromInt(150));

    auto rows = db.select(QStringLiteral("select * from 收入记录"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    const Rows& in = rows.value();
    EXPECT_EQ(in.text(QStringLiteral("项目")), QStringLiteral("充值"));
    EXPECT_EQ(in.money(QStringLiteral("金额")), Money::fromInt(50));
    EXPECT_EQ(in.dateTime(QStringLiteral("日期")), Now);
    EXPECT_EQ(in.text(QStringLiteral("会员卡号")), QStringLiteral("8001"));
    EXPECT_EQ(in.text(QStringLiteral("会员姓名")), QStringLiteral("王芳"));
    EXPECT_EQ(in.text(QStringLiteral("管理员")), Admin);
    EXPECT_EQ(in.text(QStringLiteral("说明")), QStringLiteral("[充值金额:50元]现金\n\"O'Brien\""));
    EXPECT_FALSE(rows.value().next());
    // points are not touched
    EXPECT_EQ(count(QStringLiteral("会员库"), QStringLiteral("会员积分 = ?"),
                    {QVariant::fromValue(Money::fromInt(7))}),
              1);
}

TEST_P(RechargeBookingTest, NegativeTopUpsAndFractions) {
    auto after = recharge(Money::fromInt(-30), QStringLiteral("退卡"));
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after.value(), Money::fromInt(70));
    EXPECT_EQ(
        count(QStringLiteral("收入记录"), QStringLiteral("金额 = ? and 说明 = ?"),
              {QVariant::fromValue(Money::fromInt(-30)), QStringLiteral("[充值金额:-30元]退卡")}),
        1);
    // more than the balance: the card goes below zero
    after = recharge(Money::fromInt(-100));
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after.value(), Money::fromInt(-30));
    after = recharge(amount("12.5"));
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after.value(), amount("-17.5"));
    EXPECT_EQ(count(QStringLiteral("收入记录"), QStringLiteral("说明 = ?"),
                    {QStringLiteral("[充值金额:12.5元]")}),
              1);
    EXPECT_EQ(balance(), amount("-17.5"));
}

TEST_P(RechargeBookingTest, SaleOnAnotherWorkstationBetweenLookupAndRechargeIsKept) {
    auto found = MemberLookup::member(db, QStringLiteral("8001"));
    ASSERT_TRUE(found.ok() && found.value());
    EXPECT_EQ(found.value()->balance, Money::fromInt(100));
    ASSERT_TRUE(database->openConnection(QStringLiteral("counter2")).ok());
    ASSERT_TRUE(Db(QStringLiteral("counter2"))
                    .addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                           QVariant::fromValue(amount("-30.25")), QStringLiteral("会员卡号"),
                           QStringLiteral("8001"))
                    .ok());
    auto after = recharge(Money::fromInt(50));
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(after.value(), amount("119.75"));
    EXPECT_EQ(balance(), amount("119.75"));
}

TEST_P(RechargeBookingTest, NothingIsWrittenWhenTheCardIsGoneOrTheIncomeFails) {
    auto unknown = RechargeBooking::book(
        db, {QStringLiteral("8002"), QStringLiteral("某人"), Money::fromInt(50), {}, {}}, Admin);
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);

    failInsertsInto(QStringLiteral("收入记录"));
    auto failed = recharge(Money::fromInt(50));
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(balance(), Money::fromInt(100));
}
