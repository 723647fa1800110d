#include "finance/core/IncomeExpenseBooking.h"
#include "FinanceData.h"
#include "finance/core/IncomeExpenseTypes.h"

namespace B = IncomeExpenseBooking;
namespace T = IncomeExpenseTypes;

TEST(IncomeExpenseAmount, OnlyWholeAmountsFromOneUpToTheLimitAreAccepted) {
    const struct {
        const char* typed;
        qint64 whole; // 0: refused
    } cases[] = {{"", 0},          {"0", 0},
                 {"00", 0},        {"1", 1},
                 {"01", 1},        {"5", 5},
                 {"1.5", 0},       {"-3", 0},
                 {"+3", 0},        {" 3 ", 3},
                 {"3a", 0},        {"99999999", 99999999},
                 {"100000000", 0}, {"999999999999", 0},
                 {"３", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto amount = B::amountFrom(QString::fromUtf8(c.typed));
        if (c.whole == 0) {
            ASSERT_FALSE(amount.ok());
            EXPECT_EQ(amount.error(), QStringLiteral("请输入正确的金额!"));
        } else {
            ASSERT_TRUE(amount.ok());
            EXPECT_EQ(amount.value(), Money::fromInt(c.whole));
        }
    }
}

class IncomeExpenseBookingTest : public FinanceTest {
protected:
    Rows onlyRow(const QString& table) {
        auto rows = db.select(QStringLiteral("select * from ") + table);
        EXPECT_TRUE(rows.ok());
        EXPECT_EQ(count(table), 1);
        EXPECT_TRUE(rows.value().next());
        return std::move(rows.value());
    }
};
SHOP_ON_BOTH_ENGINES(IncomeExpenseBookingTest);

TEST_P(IncomeExpenseBookingTest, AFineWithOnlyAnAmountIsMarkedAsOtherIncome) {
    auto booked = B::bookIncome(db, {u("罚款"), Money::fromInt(5), {}, {}}, u("店长"));
    ASSERT_TRUE(booked.ok()) << booked.error().toStdString();
    Rows row = onlyRow(u("收入记录"));
    EXPECT_EQ(row.integer(u("id")), booked.value());
    EXPECT_EQ(row.text(u("项目")), u("罚款"));
    EXPECT_EQ(row.money(u("金额")), Money::fromInt(5));
    EXPECT_EQ(row.dateTime(u("日期")), Now);
    EXPECT_EQ(row.text(u("会员卡号")), u("收费"));
    EXPECT_EQ(row.text(u("会员姓名")), QString());
    EXPECT_FALSE(row.isNull(u("会员姓名")) || row.isNull(u("说明"))); // empty texts, not NULL
    EXPECT_EQ(row.text(u("管理员")), u("店长"));
    EXPECT_EQ(row.text(u("说明")), QString());
}

TEST_P(IncomeExpenseBookingTest, TextsAreStoredAsTypedQuotesIncludedAndOnlyItemAndNameTrimmed) {
    const QString remark = u(" 迟还 3 天\n书角破损 ");
    ASSERT_TRUE(B::bookIncome(db, {u(" 赔偿 "), Money::fromInt(1), u(" O'Neil \"小王\" "), remark},
                              u("店长"))
                    .ok());
    Rows income = onlyRow(u("收入记录"));
    EXPECT_EQ(income.text(u("项目")), u("赔偿"));
    EXPECT_EQ(income.text(u("会员姓名")), u("O'Neil \"小王\""));
    EXPECT_EQ(income.text(u("说明")), remark);

    ASSERT_TRUE(
        B::bookExpense(db, {u(" 水电' "), Money::fromInt(120), u(" 物业 "), remark}, u("店长"))
            .ok());
    Rows expense = onlyRow(u("支出记录"));
    EXPECT_EQ(expense.text(u("项目")), u("水电'"));
    EXPECT_EQ(expense.money(u("金额")), Money::fromInt(120));
    EXPECT_EQ(expense.dateTime(u("日期")), Now);
    EXPECT_EQ(expense.text(u("姓名")), u("物业"));
    EXPECT_EQ(expense.text(u("管理员")), u("店长"));
    EXPECT_EQ(expense.text(u("说明")), remark);
}

TEST_P(IncomeExpenseBookingTest, RefusedOrFailedBookingsWriteNothing) {
    auto zero = B::bookIncome(db, {u("罚款"), Money(), {}, {}}, u("店长"));
    ASSERT_FALSE(zero.ok());
    EXPECT_EQ(zero.error(), u("请输入正确的金额!"));
    auto fraction = B::bookExpense(db, {u("房租"), Money::fromUnits(5000), {}, {}}, u("店长"));
    ASSERT_FALSE(fraction.ok());
    EXPECT_EQ(fraction.error(), u("请输入正确的金额!"));
    auto noItem = B::bookExpense(db, {u("  "), Money::fromInt(3), {}, {}}, u("店长"));
    ASSERT_FALSE(noItem.ok());
    EXPECT_EQ(noItem.error(), u("选择项目!"));

    failInsertsInto(u("收入记录"));
    EXPECT_FALSE(B::bookIncome(db, {u("罚款"), Money::fromInt(2), {}, {}}, u("店长")).ok());
    EXPECT_EQ(count(u("收入记录")), 0);
    EXPECT_EQ(count(u("支出记录")), 0);
}

TEST_P(IncomeExpenseBookingTest, TypeListsAreSplitByKindAndRemovingATypeKeepsBookedRows) {
    ASSERT_TRUE(T::add(db, T::Income, u(" 罚款 ")).ok());
    ASSERT_TRUE(T::add(db, T::Income, u("复印费")).ok());
    auto first = T::add(db, T::Expense, u("房租"));
    auto second = T::add(db, T::Expense, u("房租")); // names need not be unique
    ASSERT_TRUE(first.ok() && second.ok());
    EXPECT_FALSE(T::add(db, T::Income, u("  ")).ok());
    EXPECT_FALSE(T::add(db, u("其他"), u("杂项")).ok());

    auto incomeNames = T::names(db, T::Income);
    ASSERT_TRUE(incomeNames.ok());
    QStringList sorted = incomeNames.value();
    sorted.sort();
    EXPECT_EQ(sorted, (QStringList{u("复印费"), u("罚款")}));
    EXPECT_EQ(T::names(db, T::Expense).value(), (QStringList{u("房租"), u("房租")}));

    ASSERT_TRUE(B::bookExpense(db, {u("房租"), Money::fromInt(800), {}, {}}, u("店长")).ok());
    auto removed = T::remove(db, second.value());
    ASSERT_TRUE(removed.ok()) << removed.error().toStdString();
    EXPECT_EQ(removed.value(), 1);
    EXPECT_EQ(count(u("收支类型"), u("名称 = ? and id = ?"), {u("房租"), first.value()}), 1);
    EXPECT_EQ(count(u("收支类型"), u("名称 = ?"), {u("房租")}), 1);
    EXPECT_EQ(T::remove(db, second.value()).value(), 0); // gone already: nothing
    EXPECT_EQ(count(u("支出记录"), u("项目 = ?"), {u("房租")}), 1);
}
