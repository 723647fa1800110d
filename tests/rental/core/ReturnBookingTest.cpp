#include "rental/core/ReturnBooking.h"
#include "RentalFixture.h"
#include "rental/core/RentPricing.h"
#include "rental/core/RentalLookup.h"

namespace {

// The return line the return counter builds from an open rent.
ReturnLine lineFor(const RentalLookup::OpenRent& rent) {
    const int days = RentPricing::chargedDays(rent.rentedAt, Clock::now());
    return ReturnLine{rent.id,
                      rent.barcode,
                      rent.name,
                      rent.card,
                      rent.memberName,
                      days,
                      RentPricing::rentFor(days, rent.dailyRent)};
}

} // namespace

class ReturnBookingTest : public RentalTest {
protected:
    void SetUp() override {
        RentalTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (HasFatalFailure())
            return;
        addMemberType(QStringLiteral("金卡"), 5, false, false, true);
        addMember(QStringLiteral("1001"), QStringLiteral("张三"), QStringLiteral("金卡"), "4");
        addMember(QStringLiteral("1002"), QStringLiteral("李四"), QStringLiteral("金卡"), "50");
        addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"));
        addCopy(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("光盘"));
        addCopy(QStringLiteral("B003"), QStringLiteral("西游记"));
        // now is 2024-03-10 10:00
        addOpenRent(QStringLiteral("B001"), QStringLiteral("红楼梦"), QStringLiteral("1001"),
                    QStringLiteral("张三"), "1", "10", QDateTime(QDate(2024, 3, 7), QTime(9, 0)));
        addOpenRent(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("1001"),
                    QStringLiteral("张三"), "0.3", "2.5",
                    QDateTime(QDate(2024, 3, 7), QTime(10, 0)));
        addOpenRent(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("1002"),
                    QStringLiteral("李四"), "1", "0", QDateTime(QDate(2024, 3, 9), QTime(18, 0)));
    }

    QList<ReturnLine> linesOf(const QString& card) {
        auto rents = RentalLookup::openRents(db, card);
        EXPECT_TRUE(rents.ok());
        QList<ReturnLine> lines;
        for (const auto& rent : rents.value())
            lines.append(lineFor(rent));
        return lines;
    }

    QString snapshot() {
        QString s;
        auto rents = db.select(QStringLiteral("select * from 出租记录 order by id"));
        EXPECT_TRUE(rents.ok());
        while (rents.ok() && rents.value().next()) {
            for (const char* c : {"条形码", "已还", "归还日期", "天数", "实收租金", "归还经手人",
                                  "支付方式", "归还说明"})
                s += rents.value().text(QString::fromUtf8(c)) + u'|';
            s += u';';
        }
        auto copies = db.select(QStringLiteral("select 条形码, 状态 from 出租库 order by 条形码"));
        while (copies.ok() && copies.value().next())
            s += copies.value().text(QStringLiteral("状态")) + u';';
        s += amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'"))
                 .toString() +
             u';';
        s += QString::number(count(QStringLiteral("收入记录")));
        return s;
    }
};
SHOP_ON_BOTH_ENGINES(ReturnBookingTest);

TEST_P(ReturnBookingTest, CashReturnClosesRecordsFreesCopiesAndBooksOneIncomePerLine) {
    QList<ReturnLine> lines = linesOf(QStringLiteral("1001"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].days, 3); // 3 days and an hour
    EXPECT_EQ(lines[0].rent, m("3"));
    EXPECT_EQ(lines[1].days, 3);
    EXPECT_EQ(lines[1].rent.toString(), QStringLiteral("0.9"));
    lines[0].rent = m("2.5"); // changed by hand
    Clock::setFixed(QDateTime(QDate(2024, 3, 10), QTime(10, 5, 7)));
    auto receipt = bookReturn(db, ReturnOrder{lines, Payment::Cash, QStringLiteral(" 封面破损 "),
                                              QStringLiteral("小王")});
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->rentTotal, m("3.4"));

    auto rows =
        db.select(QStringLiteral("select * from 出租记录 where 会员卡号 = '1001' order by id"));
    ASSERT_TRUE(rows.ok());
    Rows& r = rows.value();
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("已还")), QStringLiteral("是"));
    EXPECT_EQ(r.dateTime(QStringLiteral("归还日期")),
              QDateTime(QDate(2024, 3, 10), QTime(10, 5, 7)));
    EXPECT_EQ(r.integer(QStringLiteral("天数")), 3);
    EXPECT_EQ(r.money(QStringLiteral("实收租金")), m("2.5"));
    EXPECT_EQ(r.text(QStringLiteral("归还经手人")), QStringLiteral("小王"));
    EXPECT_EQ(r.text(QStringLiteral("支付方式")), QStringLiteral("现金支付"));
    EXPECT_EQ(r.text(QStringLiteral("归还说明")), QStringLiteral("封面破损"));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.money(QStringLiteral("实收租金")), m("0.9"));

    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'B001'")),
              QStringLiteral("待租"));
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'B002'")),
              QStringLiteral("待租"));
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'B003'")),
              QStringLiteral("1002"));
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("4"));

    auto income = db.select(QStringLiteral("select * from 收入记录 order by id"));
    ASSERT_TRUE(income.ok());
    Rows& i = income.value();
    ASSERT_TRUE(i.next());
    EXPECT_EQ(i.text(QStringLiteral("项目")), QStringLiteral("租金"));
    EXPECT_EQ(i.money(QStringLiteral("金额")), m("2.5"));
    EXPECT_EQ(i.dateTime(QStringLiteral("日期")), QDateTime(QDate(2024, 3, 10), QTime(10, 5, 7)));
    EXPECT_EQ(i.text(QStringLiteral("会员卡号")), QStringLiteral("1001"));
    EXPECT_EQ(i.text(QStringLiteral("会员姓名")), QStringLiteral("张三"));
    EXPECT_EQ(i.text(QStringLiteral("管理员")), QStringLiteral("小王"));
    EXPECT_EQ(i.text(QStringLiteral("说明")), QStringLiteral(" 封面破损 ")); // as typed
    ASSERT_TRUE(i.next());
    EXPECT_EQ(i.money(QStringLiteral("金额")), m("0.9"));
    EXPECT_FALSE(i.next());
}

TEST_P(ReturnBookingTest, CardPaymentLowersEachLinesOwnCardBelowZeroAndBooksNoIncome) {
    QList<ReturnLine> lines = linesOf(QStringLiteral("1001")); // rents 3 and 0.9, balance 4
    lines += linesOf(QStringLiteral("1002"));                  // rent 1 (16 hours), balance 50
    lines[0].rent = m("3.5");
    auto receipt = bookReturn(db, ReturnOrder{lines, Payment::Card, QStringLiteral("正常"),
                                              QStringLiteral("超级管理员")});
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("-0.4"));
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1002'")),
              m("49"));
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("支付方式 = '卡内扣除'")), 3);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), 0);
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("状态 = '待租'")), 3);
}

TEST_P(ReturnBookingTest, CardPaymentWithoutAMemberRowIsRefusedAndWritesNothing) {
    addCopy(QStringLiteral("W001"), QStringLiteral("围城"));
    addOpenRent(QStringLiteral("W001"), QStringLiteral("围城"), QStringLiteral("散客"),
                QStringLiteral("散客"), "1", "10", QDateTime(QDate(2024, 3, 9), QTime(10, 0)));
    auto walkIn = bookReturn(db, ReturnOrder{linesOf(QStringLiteral("散客")), Payment::Card,
                                             QStringLiteral("正常"), QStringLiteral("超级管理员")});
    ASSERT_FALSE(walkIn.ok());
    EXPECT_EQ(walkIn.error(), QStringLiteral("散客不能卡内扣除, 请选择现金支付."));
    // a member deleted since the lookup: the copies stay out, nothing is paid
    QList<ReturnLine> member = linesOf(QStringLiteral("1002"));
    execOk(QStringLiteral("delete from 会员库 where 会员卡号 = '1002'"));
    auto gone = bookReturn(
        db, ReturnOrder{member, Payment::Card, QStringLiteral("正常"), QStringLiteral("小王")});
    ASSERT_FALSE(gone.ok());
    EXPECT_TRUE(gone.error().startsWith(QStringLiteral("会员卡号 1002 已不在会员库中")))
        << gone.error().toStdString();
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), 4);
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = 'W001'")),
              QStringLiteral("散客"));
    // a cash walk-in return books its income under "散客"
    ASSERT_TRUE(bookReturn(db, ReturnOrder{linesOf(QStringLiteral("散客")), Payment::Cash,
                                           QStringLiteral("正常"), QStringLiteral("超级管理员")})
                    .ok());
    EXPECT_EQ(text(QStringLiteral("select 会员卡号 from 收入记录")), QStringLiteral("散客"));
}

TEST_P(ReturnBookingTest, FailureInTheMiddleLeavesTheDatabaseAsBefore) {
    const QString before = snapshot();
    failInsertsInto(QStringLiteral("收入记录"));
    auto receipt =
        bookReturn(db, ReturnOrder{linesOf(QStringLiteral("1001")), Payment::Cash,
                                   QStringLiteral("正常"), QStringLiteral("超级管理员")});
    ASSERT_FALSE(receipt.ok());
    EXPECT_TRUE(receipt.error().contains(QStringLiteral("injected failure")));
    EXPECT_EQ(snapshot(), before);
}

TEST_P(ReturnBookingTest, ReturnSettledOnAnotherWorkstationIsRefusedByBarcode) {
    const QList<ReturnLine> lines = linesOf(QStringLiteral("1001"));
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    Db other(QStringLiteral("other"));
    // the other workstation takes B002 back first, from the card
    auto otherLines =
        RentalLookup::openRentsOf(other, QStringLiteral("B002"), QStringLiteral("1001"));
    ASSERT_TRUE(otherLines.ok());
    ASSERT_EQ(otherLines->size(), 1);
    ASSERT_TRUE(bookReturn(other, ReturnOrder{{lineFor(otherLines->at(0))},
                                              Payment::Card,
                                              QStringLiteral("正常"),
                                              QStringLiteral("小李")})
                    .ok());
    const QString before = snapshot();
    auto receipt = bookReturn(
        db, ReturnOrder{lines, Payment::Card, QStringLiteral("正常"), QStringLiteral("小王")});
    ASSERT_FALSE(receipt.ok());
    EXPECT_TRUE(receipt.error().contains(QStringLiteral("B002"))) << receipt.error().toStdString();
    EXPECT_EQ(snapshot(), before); // B001 not settled either, card charged once
    EXPECT_EQ(amount(QStringLiteral("select 卡内金额 from 会员库 where 会员卡号 = '1001'")),
              m("3.1"));
}

TEST_P(ReturnBookingTest, RecordReturnedAndRentedAgainIsNotSettledUnderTheOldLine) {
    const QList<ReturnLine> stale = linesOf(QStringLiteral("1002"));
    ASSERT_TRUE(bookReturn(db, ReturnOrder{stale, Payment::Cash, QStringLiteral("正常"),
                                           QStringLiteral("小王")})
                    .ok());
    addOpenRent(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("1002"),
                QStringLiteral("李四"), "1", "0", QDateTime(QDate(2024, 3, 10), QTime(9, 0)));
    auto again = bookReturn(
        db, ReturnOrder{stale, Payment::Cash, QStringLiteral("正常"), QStringLiteral("小王")});
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.error().contains(QStringLiteral("B003")));
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("条形码 = 'B003' and 已还 = '否'")),
              1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 1);
}
