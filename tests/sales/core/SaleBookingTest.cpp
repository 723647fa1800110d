#include "SalesFixture.h"

#include "sales/core/SaleBooking.h"
#include "store/Connection.h"
#include "store/OrderNumbers.h"

#include <QSet>
#include <atomic>
#include <thread>

class SaleBookingTest : public SalesTest {};
SHOP_ON_BOTH_ENGINES(SaleBookingTest);

TEST_P(SaleBookingTest, WalkInCashSaleWritesItsExactRows) {
    const qint64 item = addItem(QStringLiteral("6901"), QStringLiteral("笔记本"), "20", 10);
    auto receipt =
        bookSale(db, order({SalePricing::makeLine(QStringLiteral("6901"), QStringLiteral("笔记本"),
                                                  money("20"), 2, money("1"), item)}));
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->orderNumber, 1);
    EXPECT_EQ(receipt->total, money("40"));
    EXPECT_EQ(saleCounter(), 1);
    EXPECT_EQ(stockOf(item), 8);

    auto rows = db.select(QStringLiteral("select * from 销售记录"));
    ASSERT_TRUE(rows.ok());
    Rows& r = rows.value();
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("销售单号")), QStringLiteral("1"));
    EXPECT_EQ(r.text(QStringLiteral("条形码")), QStringLiteral("6901"));
    EXPECT_EQ(r.text(QStringLiteral("商品名称")), QStringLiteral("笔记本"));
    EXPECT_EQ(r.money(QStringLiteral("定价")), money("20"));
    EXPECT_EQ(r.money(QStringLiteral("销售单价")), money("20"));
    EXPECT_EQ(r.integer(QStringLiteral("数量")), 2);
    EXPECT_EQ(r.money(QStringLiteral("折扣")), money("1"));
    EXPECT_EQ(r.money(QStringLiteral("合计")), money("40"));
    EXPECT_EQ(r.text(QStringLiteral("商品id")), QString::number(item));
    EXPECT_EQ(r.text(QStringLiteral("会员卡号")), QStringLiteral("散客"));
    EXPECT_EQ(r.text(QStringLiteral("姓名")), QStringLiteral("散客"));
    EXPECT_EQ(r.text(QStringLiteral("日期")), QStringLiteral("2026-12-09 10:30:00"));
    EXPECT_EQ(r.text(QStringLiteral("支付方式")), QStringLiteral("现金支付"));
    EXPECT_EQ(r.text(QStringLiteral("管理员")), QStringLiteral("收银员"));
    EXPECT_FALSE(r.next());

    auto income = db.select(QStringLiteral("select * from 收入记录"));
    ASSERT_TRUE(income.ok());
    Rows& i = income.value();
    ASSERT_TRUE(i.next());
    EXPECT_EQ(i.text(QStringLiteral("项目")), QStringLiteral("商品销售"));
    EXPECT_EQ(i.money(QStringLiteral("金额")), money("40"));
    EXPECT_EQ(i.text(QStringLiteral("日期")), QStringLiteral("2026-12-09 10:30:00"));
    EXPECT_EQ(i.text(QStringLiteral("会员卡号")), QStringLiteral("散客"));
    EXPECT_EQ(i.text(QStringLiteral("会员姓名")), QStringLiteral("散客"));
    EXPECT_EQ(i.text(QStringLiteral("管理员")), QStringLiteral("收银员"));
    EXPECT_TRUE(i.isNull(QStringLiteral("说明")));
    EXPECT_FALSE(i.next());
}

TEST_P(SaleBookingTest, MemberDiscountAndCardPaymentBelowZero) {
    addMemberType(QStringLiteral("银卡"), "0.9", false);
    addMember(QStringLiteral("1002"), QStringLiteral("李娜"), QStringLiteral("银卡"), "5", "100");
    const qint64 item = addItem(QStringLiteral("7001"), QStringLiteral("台历"), "10", 3);
    const qint64 other = addItem(QStringLiteral("7002"), QStringLiteral("挂历"), "12.35", 3);
    SaleOrder o = order({SalePricing::makeLine(QStringLiteral("7001"), QStringLiteral("台历"),
                                               money("10"), 1, money("0.9"), item),
                         SalePricing::makeLine(QStringLiteral("7002"), QStringLiteral("挂历"),
                                               money("12.35"), 3, money("0.85"), other)},
                        PayFromCard, QStringLiteral("1002"), QStringLiteral("李娜"));
    EXPECT_EQ(o.lines[0].unitPrice, money("9"));
    EXPECT_EQ(o.lines[0].discount, money("0.9"));
    auto receipt = bookSale(db, o);
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->total, money("40.4925"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("-35.4925"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("140.4925"));
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(count(QStringLiteral("销售记录"),
                    QStringLiteral("销售单号 = '1' and 会员卡号 = '1002' and 姓名 = '李娜' and "
                                   "支付方式 = '卡内扣除'")),
              2);
    EXPECT_EQ(count(QStringLiteral("销售记录"),
                    QStringLiteral("条形码 = '7001' and 销售单价 = ? "
                                   "and 折扣 = ?"),
                    {QVariant::fromValue(money("9")), QVariant::fromValue(money("0.9"))}),
              1);
    EXPECT_EQ(stockOf(item), 2);
    EXPECT_EQ(stockOf(other), 0);
}

TEST_P(SaleBookingTest, CardPaymentWithoutAMemberRowOrAnotherPaymentTextIsRefused) {
    addMemberType(QStringLiteral("普通会员"), "1", false);
    addMember(QStringLiteral("1001"), QStringLiteral("张伟"), QStringLiteral("普通会员"), "50",
              "12");
    const qint64 item = addItem(QStringLiteral("8001"), QStringLiteral("书签"), "3", 10);
    auto line = SalePricing::makeLine(QStringLiteral("8001"), QStringLiteral("书签"), money("3"), 1,
                                      money("1"), item);
    struct Case {
        QString payment;
        QString card;
        QString message;
    };
    const Case refused[] = {
        {PayFromCard, WalkIn, QStringLiteral("散客不能卡内扣除, 请选择现金支付.")},
        // deleted or renumbered since it was looked up
        {PayFromCard, QStringLiteral("1009"),
         QStringLiteral("会员卡号 1009 已不在会员库中 (已删除或已改号), 不能卡内扣除, "
                        "请重新查找会员或选择现金支付.")},
        {QStringLiteral("微信"), QStringLiteral("1001"),
         QStringLiteral("支付方式只能是\"现金支付\"或\"卡内扣除\".")},
        {QString(), WalkIn, QStringLiteral("支付方式只能是\"现金支付\"或\"卡内扣除\".")},
    };
    for (const Case& c : refused) {
        auto sold = bookSale(db, order({line}, c.payment, c.card, QStringLiteral("张伟")));
        ASSERT_FALSE(sold.ok()) << c.payment.toStdString() << " " << c.card.toStdString();
        EXPECT_EQ(sold.error(), c.message);
    }
    EXPECT_EQ(count(QStringLiteral("销售记录")), 0);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("卡内金额")), money("50"));
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("会员积分")), money("12"));
    EXPECT_EQ(stockOf(item), 10);
    EXPECT_EQ(saleCounter(), 0);
}

TEST_P(SaleBookingTest, QuantityAboveStockLeavesNegativeStockAndLinesStaySeparate) {
    const qint64 item = addItem(QStringLiteral("9001"), QStringLiteral("贺卡"), "2", 1);
    auto line = SalePricing::makeLine(QStringLiteral("9001"), QStringLiteral("贺卡"), money("2"), 3,
                                      money("1"), item);
    auto receipt = bookSale(db, order({line, line}));
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(stockOf(item), -5);
    EXPECT_EQ(count(QStringLiteral("销售记录")), 2);
    EXPECT_EQ(receipt->total, money("12"));
}

TEST_P(SaleBookingTest, StockGoesToTheLinesItemAmongRowsSharingABarcode) {
    const qint64 first = addItem(QStringLiteral("5000"), QStringLiteral("甲"), "1", 10);
    const qint64 second = addItem(QStringLiteral("5000"), QStringLiteral("乙"), "1", 10);
    ASSERT_TRUE(
        bookSale(db, order({SalePricing::makeLine(QStringLiteral("5000"), QStringLiteral("乙"),
                                                  money("1"), 4, money("1"), second)}))
            .ok());
    EXPECT_EQ(stockOf(first), 10);
    EXPECT_EQ(stockOf(second), 6);
    // the line's own row is gone: the first row carrying the barcode takes it
    execOk(QStringLiteral("delete from 销售库 where 商品id = ?"), {second});
    ASSERT_TRUE(
        bookSale(db, order({SalePricing::makeLine(QStringLiteral("5000"), QStringLiteral("乙"),
                                                  money("1"), 1, money("1"), second)}))
            .ok());
    EXPECT_EQ(stockOf(first), 9);
}

TEST_P(SaleBookingTest, FailureMidBookingLeavesTheDatabaseAsBefore) {
    addMemberType(QStringLiteral("普通会员"), "1", false);
    addMember(QStringLiteral("1001"), QStringLiteral("张伟"), QStringLiteral("普通会员"), "50",
              "12");
    const qint64 item = addItem(QStringLiteral("8001"), QStringLiteral("书签"), "3", 10);
    auto line = SalePricing::makeLine(QStringLiteral("8001"), QStringLiteral("书签"), money("3"), 2,
                                      money("1"), item);

    // cash: the income row fails after stock, sale rows and the counter were written
    failInsertsInto(QStringLiteral("收入记录"));
    auto cash =
        bookSale(db, order({line, line}, PayCash, QStringLiteral("1001"), QStringLiteral("张伟")));
    ASSERT_FALSE(cash.ok());
    EXPECT_NE(cash.error().indexOf(QStringLiteral("injected failure")), -1);

    // card: the member update fails after everything else
    failUpdatesOf(QStringLiteral("会员库"));
    auto card =
        bookSale(db, order({line}, PayFromCard, QStringLiteral("1001"), QStringLiteral("张伟")));
    ASSERT_FALSE(card.ok());

    EXPECT_EQ(stockOf(item), 10);
    EXPECT_EQ(count(QStringLiteral("销售记录")), 0);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(saleCounter(), 0);
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("卡内金额")), money("50"));
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("会员积分")), money("12"));
}

TEST_P(SaleBookingTest, RefusesAnEmptyOrderAndALineWithoutQuantity) {
    const qint64 item = addItem(QStringLiteral("8001"), QStringLiteral("书签"), "3", 10);
    EXPECT_FALSE(bookSale(db, order({})).ok());
    auto line = SalePricing::makeLine(QStringLiteral("8001"), QStringLiteral("书签"), money("3"), 0,
                                      money("1"), item);
    EXPECT_FALSE(bookSale(db, order({line})).ok());
    EXPECT_EQ(saleCounter(), 0);
    EXPECT_EQ(stockOf(item), 10);
}

// Two workstations sell the same item at the same time, each on its own
// connection: every decrement counts and no order number is used twice.
TEST_P(SaleBookingTest, ConcurrentSalesLoseNoDecrementAndShareNoNumber) {
    addMemberType(QStringLiteral("普通会员"), "1", false);
    addMember(QStringLiteral("1001"), QStringLiteral("张伟"), QStringLiteral("普通会员"), "1000",
              "0");
    const qint64 item = addItem(QStringLiteral("8001"), QStringLiteral("书签"), "3", 100);
    constexpr int PerWorkstation = 15;
    const QString connectionString = database->connectionString();
    std::atomic<int> failures{0};
    QList<qint64> numbers[2];
    QString errors[2];

    auto workstation = [&](int index) {
        const QString name = QStringLiteral("workstation%1").arg(index);
        if (Status s = Connection::open(connectionString, name); !s) {
            errors[index] = s.error();
            ++failures;
            return;
        }
        {
            Db station(name);
            SaleOrder o;
            o.lines = {SalePricing::makeLine(QStringLiteral("8001"), QStringLiteral("书签"),
                                             money("3"), 1, money("1"), item)};
            o.memberCard = QStringLiteral("1001");
            o.memberName = QStringLiteral("张伟");
            o.paymentMode = PayFromCard;
            o.adminName = name;
            for (int i = 0; i < PerWorkstation; ++i) {
                auto receipt = bookSale(station, o);
                if (!receipt) {
                    errors[index] = receipt.error();
                    ++failures;
                    continue;
                }
                numbers[index] << receipt->orderNumber;
            }
        }
        Connection::close(name);
    };
    std::thread a(workstation, 0);
    std::thread b(workstation, 1);
    a.join();
    b.join();

    ASSERT_EQ(failures.load(), 0) << errors[0].toStdString() << " / " << errors[1].toStdString();
    EXPECT_EQ(stockOf(item), 100 - 2 * PerWorkstation);
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("卡内金额")),
              money("1000") - Money::fromInt(3 * 2 * PerWorkstation));
    EXPECT_EQ(memberMoney(QStringLiteral("1001"), QStringLiteral("会员积分")),
              Money::fromInt(3 * 2 * PerWorkstation));
    QSet<qint64> distinct;
    for (const auto& list : numbers)
        for (qint64 n : list)
            distinct.insert(n);
    EXPECT_EQ(distinct.size(), 2 * PerWorkstation);
    EXPECT_EQ(saleCounter(), 2 * PerWorkstation);
    auto next = OrderNumbers::peekNext(db, OrderNumbers::Kind::Sale);
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(next.value(), 2 * PerWorkstation + 1);
}
