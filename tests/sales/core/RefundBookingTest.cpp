#include "SalesFixture.h"

#include "sales/core/RefundBooking.h"

class RefundBookingTest : public SalesTest {
protected:
    void SetUp() override {
        SalesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addMemberType(QStringLiteral("银卡"), "1", false);
        addMember(QStringLiteral("1002"), QStringLiteral("李娜"), QStringLiteral("银卡"), "100",
                  "50");
        item = addItem(QStringLiteral("6902"), QStringLiteral("钢笔"), "8.5", 10);
    }

    // Sells 2 × 8.5 and gives the id of the sale line.
    qint64 sell(const QString& payment, const QString& card = QStringLiteral("1002"),
                const QString& name = QStringLiteral("李娜")) {
        auto receipt = bookSale(
            db, order({SalePricing::makeLine(QStringLiteral("6902"), QStringLiteral("钢笔"),
                                             money("8.5"), 2, money("1"), item)},
                      payment, card, name));
        EXPECT_TRUE(receipt.ok()) << receipt.error().toStdString();
        auto id = db.scalarInteger(QStringLiteral("select max(id) from 销售记录"));
        EXPECT_TRUE(id.ok());
        return id.ok() ? id.value().value_or(-1) : -1;
    }

    RefundOrder refund(qint64 saleId, qint64 quantity, const char* amount) {
        return RefundOrder{saleId, quantity, money(amount), QStringLiteral("店长")};
    }

    qint64 item = 0;
};
SHOP_ON_BOTH_ENGINES(RefundBookingTest);

TEST_P(RefundBookingTest, CardPaidSaleGoesBackToTheCardWithItsExactRow) {
    const qint64 sale = sell(PayFromCard);
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("83"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("67"));
    EXPECT_EQ(stockOf(item), 8);

    auto found = loadSaleRecord(db, sale);
    ASSERT_TRUE(found.ok() && found.value());
    const SaleRecord& record = *found.value();
    EXPECT_EQ(record.quantity, 2);
    EXPECT_EQ(record.total, money("17"));
    EXPECT_EQ(record.unitPrice, money("8.5"));
    EXPECT_EQ(refundMethodFor(record.paymentMode), QStringLiteral("返还卡内"));

    Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7)));
    auto receipt = bookRefund(db, refund(sale, 2, "17"));
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->method, QStringLiteral("返还卡内"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("100"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("50"));
    EXPECT_EQ(stockOf(item), 10);

    auto rows = db.select(QStringLiteral("select * from 退货记录"));
    ASSERT_TRUE(rows.ok());
    Rows& r = rows.value();
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.integer(QStringLiteral("id")), receipt->refundId);
    EXPECT_EQ(r.text(QStringLiteral("销售单号")), QStringLiteral("1"));
    EXPECT_EQ(r.text(QStringLiteral("商品id")), QString::number(item));
    EXPECT_EQ(r.text(QStringLiteral("条形码")), QStringLiteral("6902"));
    EXPECT_EQ(r.text(QStringLiteral("商品名称")), QStringLiteral("钢笔"));
    EXPECT_EQ(r.integer(QStringLiteral("数量")), 2);
    EXPECT_EQ(r.money(QStringLiteral("退还金额")), money("17"));
    EXPECT_EQ(r.text(QStringLiteral("日期")), QStringLiteral("2026-12-10 09:05:07"));
    EXPECT_EQ(r.text(QStringLiteral("会员卡号")), QStringLiteral("1002"));
    EXPECT_EQ(r.text(QStringLiteral("姓名")), QStringLiteral("李娜"));
    EXPECT_EQ(r.text(QStringLiteral("管理员")), QStringLiteral("店长"));
    EXPECT_EQ(r.integer(QStringLiteral("销售记录id")), sale);
    EXPECT_EQ(r.text(QStringLiteral("退还方式")), QStringLiteral("返还卡内"));
    EXPECT_FALSE(r.next());
    // a refund books no income and no expense
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("支出记录")), 0);
}

TEST_P(RefundBookingTest, RefundToACardThatIsGoneIsRefusedAndWritesNothing) {
    const qint64 sale = sell(PayFromCard);
    execOk(QStringLiteral("delete from 会员库 where 会员卡号 = '1002'"));
    auto receipt = bookRefund(db, refund(sale, 2, "17"));
    ASSERT_FALSE(receipt.ok());
    EXPECT_EQ(receipt.error(),
              QStringLiteral("会员卡号 1002 已不在会员库中 (已删除或已改号), 不能返还卡内."));
    EXPECT_EQ(count(QStringLiteral("退货记录")), 0);
    EXPECT_EQ(stockOf(item), 8);
}

TEST_P(RefundBookingTest, CashSaleRefundLowersOnlyThePoints) {
    const qint64 sale = sell(PayCash);
    auto receipt = bookRefund(db, refund(sale, 1, "8.5"));
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->method, QStringLiteral("现金返还"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("100"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("58.5"));
    EXPECT_EQ(stockOf(item), 9);
    EXPECT_EQ(count(QStringLiteral("退货记录"),
                    QStringLiteral("退还方式 = '现金返还' and 数量 = 1 and 退还金额 = ?"),
                    {QVariant::fromValue(money("8.5"))}),
              1);
}

TEST_P(RefundBookingTest, RefundsStayWithinWhatIsLeftOfTheLine) {
    const qint64 sale = sell(PayCash, WalkIn, WalkIn); // 2 x 8.5
    ASSERT_TRUE(bookRefund(db, refund(sale, 1, "8.5")).ok());
    struct Case {
        qint64 quantity;
        const char* amount;
    };
    for (const Case& c : {Case{2, "8.5"}, Case{1, "8.5001"}}) {
        auto refused = bookRefund(db, refund(sale, c.quantity, c.amount));
        ASSERT_FALSE(refused.ok()) << c.quantity << " " << c.amount;
        EXPECT_EQ(refused.error(), QStringLiteral("该销售记录最多还能退 1 件, 金额 8.5 元."));
    }
    ASSERT_TRUE(bookRefund(db, refund(sale, 1, "8.5")).ok());
    auto nothingLeft = bookRefund(db, refund(sale, 1, "0.01"));
    ASSERT_FALSE(nothingLeft.ok());
    EXPECT_EQ(nothingLeft.error(), QStringLiteral("该销售记录最多还能退 0 件, 金额 0 元."));
    EXPECT_EQ(count(QStringLiteral("退货记录"),
                    QStringLiteral("会员卡号 = '散客' and 姓名 = '散客' and 销售记录id = ?"),
                    {sale}),
              2);
    EXPECT_EQ(stockOf(item), 10);
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("100"));

    // the list shows what was refunded of each line
    const ListQuery query = saleRecordsOf(QStringLiteral("6902"), db.connectionName());
    auto rows = db.select(query.sql, query.params);
    ASSERT_TRUE(rows.ok() && rows.value().next()) << rows.error().toStdString();
    EXPECT_EQ(rows.value().integer(QStringLiteral("已退数量")), 2);
    EXPECT_EQ(rows.value().money(QStringLiteral("已退金额")), money("17"));
}

TEST(RefundAmountTest, WholeQuantityLeftProposesExactlyTheAmountLeft) {
    // a line worth 10 for 3 units: 3.3333 each
    const RefundLeft all = refundLeft(3, money("10"), 0, Money());
    EXPECT_EQ(proposedRefund(money("3.3333"), 3, all), money("10"));
    EXPECT_EQ(proposedRefund(money("3.3333"), 2, all), money("6.6666"));
    const RefundLeft rest = refundLeft(3, money("10"), 2, money("6.6666"));
    EXPECT_EQ(rest.quantity, 1);
    EXPECT_EQ(rest.amount, money("3.3334"));
    EXPECT_EQ(proposedRefund(money("3.3333"), 1, rest), money("3.3334"));
    // more refunded than sold (older records) leaves nothing, never less
    const RefundLeft none = refundLeft(3, money("10"), 4, money("12"));
    EXPECT_EQ(none.quantity, 0);
    EXPECT_EQ(none.amount, Money());
}

TEST_P(RefundBookingTest, RefusesZeroAndMissingSaleAndRollsBackAFailure) {
    const qint64 sale = sell(PayFromCard);
    for (const RefundOrder& bad : {refund(sale, 0, "17"), refund(sale, 2, "0"),
                                   refund(sale, -1, "17"), refund(sale + 100, 1, "1")}) {
        auto refused = bookRefund(db, bad);
        EXPECT_FALSE(refused.ok());
    }
    EXPECT_EQ(bookRefund(db, refund(sale, 0, "17")).error(),
              QStringLiteral("请填写退货数量和退还金额!"));

    // the member update fails after the refund row and the stock were written
    failUpdatesOf(QStringLiteral("会员库"));
    auto failed = bookRefund(db, refund(sale, 2, "17"));
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().indexOf(QStringLiteral("injected failure")), -1);

    EXPECT_EQ(count(QStringLiteral("退货记录")), 0);
    EXPECT_EQ(stockOf(item), 8);
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("83"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("67"));
}

TEST_P(RefundBookingTest, SaleLinesOfABarcodeNewestFirst) {
    const qint64 older = sell(PayCash);
    Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(11, 0, 0)));
    const qint64 newer = sell(PayFromCard);
    sell(PayCash); // same moment as newer, booked after it
    const ListQuery query = saleRecordsOf(QStringLiteral("6902"), db.connectionName());
    auto rows = db.select(query.sql, query.params);
    ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
    QList<qint64> ids;
    while (rows.value().next())
        ids << rows.value().integer(QStringLiteral("id"));
    ASSERT_EQ(ids.size(), 3);
    EXPECT_EQ(ids[1], newer);
    EXPECT_EQ(ids[2], older);
    EXPECT_GT(ids[0], newer);
}
