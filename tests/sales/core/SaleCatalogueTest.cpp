#include "sales/core/SaleCatalogue.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString Admin = QStringLiteral("店长");
const QDateTime Now(QDate(2026, 6, 2), QTime(14, 30, 5));

NewSaleItem newItem(const char* price = "30", const char* unit = "18", const char* quantity = "5",
                    const char* discount = "0.6") {
    NewSaleItem item;
    item.barcode = QStringLiteral(" 9787 ");
    item.name = QStringLiteral("红楼梦");
    item.goodsType = QStringLiteral("普通");
    item.price = QString::fromLatin1(price);
    item.place = QStringLiteral("店内");
    item.medium = QStringLiteral("图书");
    item.synopsis = QStringLiteral("四大名著之一");
    item.purchase.unitPrice = QString::fromLatin1(unit);
    item.purchase.quantity = QString::fromLatin1(quantity);
    item.purchase.discount = QString::fromLatin1(discount);
    item.purchase.supplier = QStringLiteral("新华书店");
    item.purchase.remark = item.synopsis;
    return item;
}

PurchaseEntry entry(const char* unit, const char* quantity, const char* discount = "") {
    return {QString::fromLatin1(unit), QString::fromLatin1(quantity), QString::fromLatin1(discount),
            QStringLiteral("无"), QStringLiteral("补货")};
}

} // namespace

class SaleCatalogueTest : public EngineTest {
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
    qint64 added(const NewSaleItem& item) {
        auto id = SaleCatalogue::addItem(db, item, Admin);
        EXPECT_TRUE(id.ok()) << id.error().toStdString();
        return id.ok() ? id.value() : -1;
    }
    SaleItem item(qint64 id) {
        auto found = SaleCatalogue::find(db, id);
        EXPECT_TRUE(found.ok() && found.value().has_value());
        return found.ok() && found.value() ? *found.value() : SaleItem{};
    }
    // 折扣 of the purchase records in the order written
    QList<Money> discounts() {
        QList<Money> result;
        auto rows = db.select(QStringLiteral("select 折扣 from 进货记录 order by id"));
        while (rows.ok() && rows.value().next())
            result << rows.value().money(QStringLiteral("折扣"));
        return result;
    }
};
SHOP_ON_BOTH_ENGINES(SaleCatalogueTest);

TEST_P(SaleCatalogueTest, ANewItemComesWithItsFirstPurchaseRecord) {
    const qint64 id = added(newItem("30", "18", "3"));
    const SaleItem i = item(id);
    EXPECT_EQ(i.barcode, QStringLiteral("9787"));
    EXPECT_EQ(i.py, QStringLiteral("HLM"));
    EXPECT_EQ(i.price, Money::fromInt(30));
    EXPECT_EQ(i.stock, 3);
    auto rows = db.select(QStringLiteral("select * from 进货记录"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    Rows& r = rows.value();
    EXPECT_EQ(r.text(QStringLiteral("条形码")), QStringLiteral("9787"));
    EXPECT_EQ(r.text(QStringLiteral("商品名称")), QStringLiteral("红楼梦"));
    EXPECT_EQ(r.money(QStringLiteral("定价")), Money::fromInt(30));
    EXPECT_EQ(r.money(QStringLiteral("进货单价")), Money::fromInt(18));
    EXPECT_EQ(r.integer(QStringLiteral("进货数量")), 3);
    EXPECT_EQ(r.money(QStringLiteral("折扣")), *Money::parse(u"0.6"));
    EXPECT_EQ(r.money(QStringLiteral("总金额")), Money::fromInt(54));
    EXPECT_EQ(r.dateTime(QStringLiteral("进货日期")), Now);
    EXPECT_EQ(r.text(QStringLiteral("供应商")), QStringLiteral("新华书店"));
    EXPECT_EQ(r.text(QStringLiteral("管理员")), Admin);
    EXPECT_EQ(r.text(QStringLiteral("说明")), QStringLiteral("四大名著之一"));
    EXPECT_FALSE(r.next());
    // the same barcode again is a second row
    EXPECT_NE(added(newItem()), id);
    EXPECT_EQ(count(QStringLiteral("销售库")), 2);
}

TEST_P(SaleCatalogueTest, AnItemWhosePurchaseRecordFailsIsNotAdded) {
    failInsertsInto(QStringLiteral("进货记录"));
    EXPECT_FALSE(SaleCatalogue::addItem(db, newItem(), Admin).ok());
    EXPECT_EQ(count(QStringLiteral("销售库")), 0);
}

TEST_P(SaleCatalogueTest, AnEmptyDiscountIsStoredAsThePricesGiveIt) {
    added(newItem("30", "18", "1", ""));
    added(newItem("0", "18", "1", "")); // no ratio to a list price of 0
    added(newItem("3", "1", "1", ""));
    EXPECT_EQ(discounts(),
              (QList<Money>{*Money::parse(u"0.6"), Money(), *Money::parse(u"0.3333")}));
}

TEST_P(SaleCatalogueTest, MalformedOrMissingNumbersWriteNothing) {
    const QList<QPair<NewSaleItem, QString>> cases = {
        {newItem("."), QStringLiteral("定价的数字格式不正确: \".\"")},
        {newItem("30", "1.2.3"), QStringLiteral("进货单价的数字格式不正确: \"1.2.3\"")},
        {newItem("30", "18", "5", "0..6"), QStringLiteral("折扣的数字格式不正确: \"0..6\"")},
        {newItem("30", ""), QStringLiteral("字体加重的项目必须填写!")},
        {newItem("30", "18", ""), QStringLiteral("字体加重的项目必须填写!")},
    };
    for (const auto& [item, message] : cases) {
        auto id = SaleCatalogue::addItem(db, item, Admin);
        ASSERT_FALSE(id.ok());
        EXPECT_EQ(id.error(), message);
    }
    EXPECT_EQ(count(QStringLiteral("销售库")), 0);
    EXPECT_EQ(count(QStringLiteral("进货记录")), 0);
}

TEST_P(SaleCatalogueTest, PurchasesRaiseTheStockAndLeaveTheListPrice) {
    const qint64 id = added(newItem("30", "18", "2"));
    auto first = SaleCatalogue::purchase(db, id, entry("99", "5"), Admin);
    ASSERT_TRUE(first.ok()) << first.error().toStdString();
    EXPECT_EQ(first.value(), 7);
    auto second = SaleCatalogue::purchase(db, id, entry("15", "3", "0.5"), Admin);
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.value(), 10);
    EXPECT_EQ(item(id).stock, 10);
    EXPECT_EQ(item(id).price, Money::fromInt(30));
    EXPECT_EQ(count(QStringLiteral("进货记录")), 3);
    EXPECT_EQ(count(QStringLiteral("进货记录"),
                    QStringLiteral("进货数量 = ? and 总金额 = ? and 供应商 = ? and 说明 = ?"),
                    {5, QVariant::fromValue(Money::fromInt(495)), QStringLiteral("无"),
                     QStringLiteral("补货")}),
              1);
    EXPECT_EQ(discounts().mid(1), (QList<Money>{*Money::parse(u"3.3"), *Money::parse(u"0.5")}));
}

TEST_P(SaleCatalogueTest, WritesNamingAnItemWithoutBarcodeNameOrTypeAreRefused) {
    const qint64 id = added(newItem("30", "18", "2"));
    const SaleItem asRead = item(id);
    for (auto change : {+[](SaleItem& i) { i.barcode = QStringLiteral(" "); },
                        +[](SaleItem& i) { i.name.clear(); }}) {
        SaleItem edited = asRead;
        change(edited);
        const Status saved = SaleCatalogue::save(db, asRead, edited);
        EXPECT_EQ(saved.error(), QStringLiteral("字体加重的项目必须填写!"));
        EXPECT_EQ(SaleCatalogue::correctStock(db, asRead, edited, 9, Admin).error(), saved.error());
    }
    // a row without a goods type (written by an older version) is bought in
    // only once it has one
    execOk(QStringLiteral("update 销售库 set 商品类型 = ''"));
    auto bought = SaleCatalogue::purchase(db, id, entry("18", "5"), Admin);
    EXPECT_EQ(bought.error(), QStringLiteral("字体加重的项目必须填写!"));
    EXPECT_EQ(item(id).stock, 2);
    EXPECT_EQ(item(id).barcode, QStringLiteral("9787"));
    EXPECT_EQ(count(QStringLiteral("进货记录")), 1);
}

TEST_P(SaleCatalogueTest, APurchaseWhoseRecordFailsLeavesTheStock) {
    const qint64 id = added(newItem("30", "18", "2"));
    failInsertsInto(QStringLiteral("进货记录"));
    EXPECT_FALSE(SaleCatalogue::purchase(db, id, entry("18", "5"), Admin).ok());
    EXPECT_EQ(item(id).stock, 2);
}

TEST_P(SaleCatalogueTest, AStockCorrectionSavesThePendingEditAndIsLogged) {
    const qint64 id = added(newItem("30", "18", "5"));
    const SaleItem asRead = item(id);
    // a sale of one on another workstation while the window is open
    execOk(QStringLiteral("update 销售库 set 库存 = 库存 - 1 where 商品id = ?"), {id});
    SaleItem edited = asRead;
    edited.name = QStringLiteral("红楼梦(新版)");
    edited.barcode = QStringLiteral("9788");
    ASSERT_TRUE(SaleCatalogue::correctStock(db, asRead, edited, 8, Admin).ok());
    const SaleItem now = item(id);
    EXPECT_EQ(now.stock, 7); // the correction of +3 over the sale
    EXPECT_EQ(now.name, QStringLiteral("红楼梦(新版)"));
    EXPECT_EQ(now.py, QStringLiteral("HLM"));
    EXPECT_EQ(count(QStringLiteral("管理员日志"),
                    QStringLiteral("事件 = ? and 说明 = ? and 管理员 = ?"),
                    {QStringLiteral("修改库存"), QStringLiteral("条形码:9788"), Admin}),
              1);

    failInsertsInto(QStringLiteral("管理员日志"));
    SaleItem again = now;
    again.name = QStringLiteral("不该保存");
    EXPECT_FALSE(SaleCatalogue::correctStock(db, now, again, 1, Admin).ok());
    EXPECT_EQ(item(id).stock, 7);
    EXPECT_EQ(item(id).name, QStringLiteral("红楼梦(新版)"));
}

TEST_P(SaleCatalogueTest, CopyingIntoTheRentCatalogueIsLoggedAndRefusedForABarcodeInUse) {
    const qint64 id = added(newItem("30", "18", "4"));
    ASSERT_TRUE(SaleCatalogue::copyToRent(db, id, Admin).ok());
    auto rows = db.select(QStringLiteral("select * from 出租库"));
    ASSERT_TRUE(rows.ok() && rows.value().next());
    EXPECT_EQ(rows.value().text(QStringLiteral("条形码")), QStringLiteral("9787"));
    EXPECT_EQ(rows.value().text(QStringLiteral("py")), QStringLiteral("HLM"));
    EXPECT_EQ(rows.value().text(QStringLiteral("状态")), QStringLiteral("待租"));
    EXPECT_EQ(rows.value().integer(QStringLiteral("借出次数")), 0);
    EXPECT_EQ(rows.value().money(QStringLiteral("定价")), Money::fromInt(30));
    // twice: refused in the shop's words, nothing written
    EXPECT_EQ(SaleCatalogue::copyToRent(db, id, Admin).error(),
              QStringLiteral("出租库中条形码 9787 已存在"));
    EXPECT_EQ(count(QStringLiteral("出租库")), 1);
    EXPECT_EQ(count(QStringLiteral("管理员日志"), QStringLiteral("事件 = ? and 说明 = ?"),
                    {QStringLiteral("销售转出租"), QStringLiteral("条形码:9787")}),
              1);
    EXPECT_EQ(item(id).stock, 4);
}
