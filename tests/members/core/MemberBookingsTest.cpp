#include "members/core/MemberBookings.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString Admin = QStringLiteral("超级管理员");
const QDateTime Now(QDate(2026, 3, 14), QTime(15, 9, 26));

NewMember newMember(const QString& card, const QString& name, Money fee = Money::fromInt(10)) {
    NewMember m;
    m.card = card;
    m.name = name;
    m.type = QStringLiteral("普通会员");
    m.fee = fee;
    return m;
}

} // namespace

class MemberBookingsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(Now);
    }
    void TearDown() override {
        Clock::setFixed({});
        EngineTest::TearDown();
    }

    Member member(const QString& card) {
        auto found = MemberLookup::member(db, card);
        EXPECT_TRUE(found.ok()) << found.error().toStdString();
        EXPECT_TRUE(found.ok() && found.value().has_value()) << card.toStdString();
        return found.ok() && found.value() ? *found.value() : Member{};
    }

    void registered(const NewMember& m) {
        Status s = MemberBookings::registerMember(db, m, Admin);
        ASSERT_TRUE(s.ok()) << s.error().toStdString();
    }
};
SHOP_ON_BOTH_ENGINES(MemberBookingsTest);

TEST_P(MemberBookingsTest, RegistrationWritesTheMemberWithItsDefaultsAndTheFeeIncome) {
    NewMember m = newMember(QStringLiteral(" 1201 "), QStringLiteral(" 张三 "));
    m.sex = QStringLiteral("女 ");
    m.unit = QStringLiteral(" 财务部");
    m.idNumber = QStringLiteral(" 110101 ");
    m.contact = QStringLiteral("138 ");
    m.address = QStringLiteral(" 北京 ");
    m.remark = QStringLiteral(" 第一行\n第二行 ");
    registered(m);

    auto rows = db.select(QStringLiteral("select * from 会员库"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    const Rows& row = rows.value();
    EXPECT_EQ(row.text(QStringLiteral("会员卡号")), QStringLiteral("1201"));
    EXPECT_EQ(row.text(QStringLiteral("会员姓名")), QStringLiteral("张三"));
    EXPECT_EQ(row.text(QStringLiteral("会员类型")), QStringLiteral("普通会员"));
    EXPECT_EQ(row.text(QStringLiteral("会员性别")), QStringLiteral("女"));
    EXPECT_EQ(row.text(QStringLiteral("单位部门")), QStringLiteral("财务部"));
    EXPECT_EQ(row.text(QStringLiteral("证件号码")), QStringLiteral("110101"));
    EXPECT_EQ(row.text(QStringLiteral("联系方式")), QStringLiteral("138"));
    EXPECT_EQ(row.text(QStringLiteral("住址")), QStringLiteral("北京"));
    EXPECT_EQ(row.text(QStringLiteral("备注")), QStringLiteral(" 第一行\n第二行 "));
    EXPECT_EQ(row.money(QStringLiteral("卡内金额")), Money());
    EXPECT_FALSE(row.isNull(QStringLiteral("卡内金额")));
    EXPECT_EQ(row.money(QStringLiteral("会员积分")), Money());
    EXPECT_FALSE(row.isNull(QStringLiteral("会员积分")));
    EXPECT_EQ(row.text(QStringLiteral("登记日期")), QStringLiteral("2026-03-14"));
    EXPECT_EQ(row.text(QStringLiteral("登记人")), Admin);
    EXPECT_EQ(row.text(QStringLiteral("状态")), QStringLiteral("正常"));
    EXPECT_EQ(row.text(QStringLiteral("密码")), QStringLiteral("7302"));
    EXPECT_EQ(row.dateTime(QStringLiteral("有效期")), QDateTime(QDate(2500, 1, 1), QTime(0, 0)));
    EXPECT_FALSE(rows.value().next());

    auto income = db.select(QStringLiteral("select * from 收入记录"));
    ASSERT_TRUE(income.ok());
    ASSERT_TRUE(income.value().next());
    const Rows& in = income.value();
    EXPECT_EQ(in.text(QStringLiteral("项目")), QStringLiteral("开户费"));
    EXPECT_EQ(in.money(QStringLiteral("金额")), Money::fromInt(10));
    EXPECT_EQ(in.dateTime(QStringLiteral("日期")), Now);
    EXPECT_EQ(in.text(QStringLiteral("会员卡号")), QStringLiteral("1201"));
    EXPECT_EQ(in.text(QStringLiteral("会员姓名")), QStringLiteral("张三"));
    EXPECT_EQ(in.text(QStringLiteral("管理员")), Admin);
    EXPECT_TRUE(in.isNull(QStringLiteral("说明")));
    EXPECT_FALSE(income.value().next());
}

TEST_P(MemberBookingsTest, FeeZeroIsStillBookedAndEachMemberGetsItsOwnIncomeRow) {
    registered(newMember(QStringLiteral("1"), QStringLiteral("甲"), Money()));
    registered(newMember(QStringLiteral("2"), QStringLiteral("乙"), Money::fromUnits(125000)));
    EXPECT_EQ(count(QStringLiteral("收入记录"),
                    QStringLiteral("项目 = ? and 金额 = ? and 会员卡号 = ? and 会员姓名 = ?"),
                    {QStringLiteral("开户费"), QVariant::fromValue(Money()), QStringLiteral("1"),
                     QStringLiteral("甲")}),
              1);
    EXPECT_EQ(count(QStringLiteral("收入记录"),
                    QStringLiteral("项目 = ? and 金额 = ? and 会员卡号 = ? and 会员姓名 = ?"),
                    {QStringLiteral("开户费"), QVariant::fromValue(Money::fromUnits(125000)),
                     QStringLiteral("2"), QStringLiteral("乙")}),
              1);
}

TEST_P(MemberBookingsTest, RefusedRegistrationWritesNothing) {
    registered(newMember(QStringLiteral("1201"), QStringLiteral("张三")));
    // a card number in use is refused by the key
    EXPECT_FALSE(MemberBookings::registerMember(
                     db, newMember(QStringLiteral("1201"), QStringLiteral("李四")), Admin)
                     .ok());
    // required fields
    for (NewMember m : {newMember(QStringLiteral(" "), QStringLiteral("李四")),
                        newMember(QStringLiteral("9"), QStringLiteral("")),
                        newMember(QStringLiteral("9"), QStringLiteral("李四"))}) {
        if (m.card == QStringLiteral("9") && !m.name.isEmpty())
            m.type = QStringLiteral("  ");
        Status s = MemberBookings::registerMember(db, m, Admin);
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error(), QStringLiteral("字体加重的项目必须填写!"));
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 1);
    EXPECT_EQ(member(QStringLiteral("1201")).name, QStringLiteral("张三"));
}

TEST_P(MemberBookingsTest, FailureAfterTheMemberRowLeavesNeitherRow) {
    failInsertsInto(QStringLiteral("收入记录"));
    Status s = MemberBookings::registerMember(
        db, newMember(QStringLiteral("1201"), QStringLiteral("张三")), Admin);
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.error().indexOf(QStringLiteral("injected failure")), -1);
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
}

TEST_P(MemberBookingsTest, EditSavesTheFieldsAndLeavesMoneyBookedMeanwhile) {
    registered(newMember(QStringLiteral("1201"), QStringLiteral("张三")));
    const Member asRead = member(QStringLiteral("1201"));
    Member edited = asRead;
    edited.card = QStringLiteral("1201-A");
    edited.name = QStringLiteral("张三丰");
    edited.status = QStringLiteral("停用");
    edited.expiry = QDateTime(QDate(2027, 1, 31), QTime(0, 0));
    edited.registered = QDate(2025, 5, 1);
    edited.balance = Money::fromInt(999); // not an editable field
    // a sale on another workstation while the edit window is open
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    ASSERT_TRUE(Db(QStringLiteral("other"))
                    .addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                           QVariant::fromValue(Money::fromInt(-7)), QStringLiteral("会员卡号"),
                           QStringLiteral("1201"))
                    .ok());

    ASSERT_TRUE(MemberBookings::save(db, asRead, edited).ok());
    const Member after = member(QStringLiteral("1201-A"));
    EXPECT_EQ(after.name, QStringLiteral("张三丰"));
    EXPECT_EQ(after.status, QStringLiteral("停用"));
    EXPECT_EQ(after.expiry, edited.expiry);
    EXPECT_EQ(after.registered, QDate(2025, 5, 1));
    EXPECT_EQ(after.balance, Money::fromInt(-7));
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    // the records of the old card number stay as they are
    EXPECT_EQ(
        count(QStringLiteral("收入记录"), QStringLiteral("会员卡号 = ?"), {QStringLiteral("1201")}),
        1);
}

TEST_P(MemberBookingsTest, RefusedEditChangesNothing) {
    registered(newMember(QStringLiteral("1"), QStringLiteral("甲")));
    registered(newMember(QStringLiteral("2"), QStringLiteral("乙")));
    const Member asRead = member(QStringLiteral("2"));
    Member edited = asRead;
    edited.card = QStringLiteral("1");
    edited.name = QStringLiteral("丙");
    EXPECT_FALSE(MemberBookings::save(db, asRead, edited).ok());
    EXPECT_EQ(member(QStringLiteral("2")).name, QStringLiteral("乙"));
    // the member was deleted meanwhile: the save does not pass for done
    ASSERT_TRUE(MemberBookings::remove(db, QStringLiteral("2")).ok());
    edited.card = QStringLiteral("3");
    EXPECT_FALSE(MemberBookings::save(db, asRead, edited).ok());
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
}

TEST_P(MemberBookingsTest, CardNumberStaysWhileTheMemberHasOpenRents) {
    registered(newMember(QStringLiteral("1"), QStringLiteral("甲")));
    execOk(QStringLiteral("insert into 出租记录(条形码,会员卡号,已还) values(?,?,?)"),
           {QStringLiteral("A1"), QStringLiteral("1"), QStringLiteral("否")});
    const Member asRead = member(QStringLiteral("1"));
    Member edited = asRead;
    edited.card = QStringLiteral("9");
    edited.name = QStringLiteral("乙");
    for (const Status& refused :
         {MemberBookings::save(db, asRead, edited),
          MemberBookings::correct(db, asRead, edited, QStringLiteral("x"))}) {
        ASSERT_FALSE(refused.ok());
        EXPECT_EQ(refused.error(), QStringLiteral("该会员还有 1 件商品未还, 不能修改会员卡号."));
    }
    EXPECT_EQ(member(QStringLiteral("1")).name, QStringLiteral("甲"));
    EXPECT_EQ(count(QStringLiteral("管理员日志")), 0);
    // other fields still change, and the number once the rent is back
    edited.card = asRead.card;
    ASSERT_TRUE(MemberBookings::save(db, asRead, edited).ok());
    execOk(QStringLiteral("update 出租记录 set 已还 = ?"), {QStringLiteral("是")});
    Member renumbered = member(QStringLiteral("1"));
    Member changed = renumbered;
    changed.card = QStringLiteral("9");
    ASSERT_TRUE(MemberBookings::save(db, renumbered, changed).ok());
    EXPECT_EQ(member(QStringLiteral("9")).name, QStringLiteral("乙"));
}

TEST_P(MemberBookingsTest, CorrectionSetsBalanceAndPointsAndIsLoggedWithTheCard) {
    registered(newMember(QStringLiteral("1201"), QStringLiteral("张三")));
    const Member asRead = member(QStringLiteral("1201"));
    Member edited = asRead;
    edited.name = QStringLiteral("张三丰"); // changed in the edit window before
    edited.card = QStringLiteral("1202");
    edited.balance = *Money::parse(QStringLiteral("88.8"));
    edited.points = Money::fromInt(30);
    ASSERT_TRUE(MemberBookings::correct(db, asRead, edited, Admin).ok());

    const Member after = member(QStringLiteral("1202"));
    EXPECT_EQ(after.name, QStringLiteral("张三丰"));
    EXPECT_EQ(after.balance, *Money::parse(QStringLiteral("88.8")));
    EXPECT_EQ(after.points, Money::fromInt(30));
    auto log = db.select(QStringLiteral("select * from 管理员日志"));
    ASSERT_TRUE(log.ok());
    ASSERT_TRUE(log.value().next());
    EXPECT_EQ(log.value().text(QStringLiteral("事件")), QStringLiteral("修改会员卡内金额和积分"));
    EXPECT_EQ(log.value().dateTime(QStringLiteral("日期")), Now);
    EXPECT_EQ(log.value().text(QStringLiteral("管理员")), Admin);
    EXPECT_EQ(log.value().text(QStringLiteral("说明")), QStringLiteral("条形码:1202"));
    EXPECT_FALSE(log.value().next());
}

TEST_P(MemberBookingsTest, CorrectionKeepsASaleBookedMeanwhile) {
    registered(newMember(QStringLiteral("1201"), QStringLiteral("张三")));
    execOk(QStringLiteral("update 会员库 set 卡内金额 = ?, 会员积分 = ?"),
           {QVariant::fromValue(Money::fromInt(100)), QVariant::fromValue(Money::fromInt(40))});
    const Member asRead = member(QStringLiteral("1201"));
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    const Db other(QStringLiteral("other"));
    ASSERT_TRUE(other
                    .addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                           QVariant::fromValue(Money::fromInt(-30)), QStringLiteral("会员卡号"),
                           QStringLiteral("1201"))
                    .ok());
    ASSERT_TRUE(other
                    .addTo(QStringLiteral("会员库"), QStringLiteral("会员积分"),
                           QVariant::fromValue(Money::fromInt(3)), QStringLiteral("会员卡号"),
                           QStringLiteral("1201"))
                    .ok());
    Member edited = asRead;
    edited.balance = Money::fromInt(120); // the clerk adds 20
    ASSERT_TRUE(MemberBookings::correct(db, asRead, edited, Admin).ok());
    const Member after = member(QStringLiteral("1201"));
    EXPECT_EQ(after.balance, Money::fromInt(90));
    EXPECT_EQ(after.points, Money::fromInt(43));
}

TEST_P(MemberBookingsTest, CorrectionWithoutItsLogRowIsNotSaved) {
    registered(newMember(QStringLiteral("1201"), QStringLiteral("张三")));
    const Member asRead = member(QStringLiteral("1201"));
    Member edited = asRead;
    edited.name = QStringLiteral("李四");
    edited.balance = Money::fromInt(50);
    failInsertsInto(QStringLiteral("管理员日志"));
    EXPECT_FALSE(MemberBookings::correct(db, asRead, edited, Admin).ok());
    const Member after = member(QStringLiteral("1201"));
    EXPECT_EQ(after.name, QStringLiteral("张三"));
    EXPECT_EQ(after.balance, Money());
}

TEST_P(MemberBookingsTest, DeleteRemovesOnlyTheMember) {
    registered(newMember(QStringLiteral("1"), QStringLiteral("甲")));
    registered(newMember(QStringLiteral("2"), QStringLiteral("乙")));
    ASSERT_TRUE(MemberBookings::remove(db, QStringLiteral("1")).ok());
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 2);
    auto gone = MemberLookup::member(db, QStringLiteral("1"));
    ASSERT_TRUE(gone.ok());
    EXPECT_FALSE(gone.value().has_value());
}
