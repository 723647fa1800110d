#include "catalogue/core/RentCatalogue.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

const QString Admin = QStringLiteral("店长");

NewRentCopy entry(const QString& barcode) {
    NewRentCopy e;
    e.barcode = barcode;
    e.title = QStringLiteral("天龙八部");
    e.goodsType = QStringLiteral("普通");
    e.price = QStringLiteral("25.5");
    e.place = QStringLiteral("店内");
    e.picture = QByteArrayLiteral("BM-picture-bytes");
    return e;
}

} // namespace

class RentCatalogueTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Clock::setFixed(QDateTime(QDate(2026, 6, 1), QTime(9, 15, 0)));
    }
    void TearDown() override {
        Clock::setFixed({});
        EngineTest::TearDown();
    }
    RentCopy copy(const QString& barcode) {
        auto found = RentCatalogue::find(db, barcode);
        EXPECT_TRUE(found.ok() && found.value().has_value()) << barcode.toStdString();
        return found.ok() && found.value() ? *found.value() : RentCopy{};
    }
    void added(const NewRentCopy& e) {
        auto done = RentCatalogue::addCopies(db, e, Admin);
        ASSERT_TRUE(done.ok()) << done.error().toStdString();
    }
    void openRent(const QString& barcode) {
        execOk(
            QStringLiteral("insert into 出租记录(出租单号,条形码,已还,会员卡号) values(?,?,?,?)"),
            {QStringLiteral("1"), barcode, QStringLiteral("否"), QStringLiteral("散客")});
    }
};
SHOP_ON_BOTH_ENGINES(RentCatalogueTest);

TEST_P(RentCatalogueTest, ASetOfThreeWritesNumberedCopiesWithTheSameDetails) {
    NewRentCopy e = entry(QStringLiteral(" B7 "));
    e.isSet = true;
    e.setCount = QStringLiteral("3");
    auto done = RentCatalogue::addCopies(db, e, Admin);
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done.value(), (QStringList{"B7-1", "B7-2", "B7-3"}));
    EXPECT_EQ(count(QStringLiteral("出租库")), 3);
    for (const QString& barcode : done.value()) {
        const RentCopy c = copy(barcode);
        EXPECT_EQ(c.title, QStringLiteral("天龙八部"));
        EXPECT_EQ(c.py, QStringLiteral("TLBB"));
        EXPECT_EQ(c.goodsType, QStringLiteral("普通"));
        EXPECT_EQ(c.price, *Money::parse(u"25.5"));
        EXPECT_EQ(c.picture, QByteArrayLiteral("BM-picture-bytes"));
        EXPECT_EQ(RentCatalogue::picture(db, barcode).value(), c.picture);
        EXPECT_EQ(c.status, QStringLiteral("待租"));
        EXPECT_EQ(c.timesLent, 0);
        EXPECT_EQ(c.registered, QDate(2026, 6, 1));
        EXPECT_EQ(c.registeredBy, Admin);
        EXPECT_EQ(c.medium, QString());
    }
}

TEST_P(RentCatalogueTest, RefusedEntriesWriteNothing) {
    const QString required = QStringLiteral("字体加重的项目必须填写!");
    const QString setCount = QStringLiteral("请确保填写册/集的数量并且要大于1 ");
    struct Case {
        const char* name;
        std::function<void(NewRentCopy&)> change;
        QString message;
    };
    const QList<Case> cases = {
        {"empty barcode", [](NewRentCopy& e) { e.barcode = QStringLiteral("  "); }, required},
        {"empty title", [](NewRentCopy& e) { e.title.clear(); }, required},
        {"empty type", [](NewRentCopy& e) { e.goodsType = QStringLiteral(" "); }, required},
        {"empty price", [](NewRentCopy& e) { e.price.clear(); }, required},
        {"malformed price", [](NewRentCopy& e) { e.price = QStringLiteral("1.2.3"); },
         QStringLiteral("定价的数字格式不正确: \"1.2.3\"")},
        {"set without count", [](NewRentCopy& e) { e.isSet = true; }, setCount},
        {"set of one",
         [](NewRentCopy& e) {
             e.isSet = true;
             e.setCount = QStringLiteral("1");
         },
         setCount},
    };
    for (const Case& c : cases) {
        NewRentCopy e = entry(QStringLiteral("X1"));
        c.change(e);
        auto done = RentCatalogue::addCopies(db, e, Admin);
        ASSERT_FALSE(done.ok()) << c.name;
        EXPECT_EQ(done.error(), c.message) << c.name;
    }
    EXPECT_EQ(count(QStringLiteral("出租库")), 0);
}

TEST_P(RentCatalogueTest, ABarcodeInUseRefusesTheWholeSet) {
    added(entry(QStringLiteral("B7-2")));
    NewRentCopy e = entry(QStringLiteral("B7"));
    e.isSet = true;
    e.setCount = QStringLiteral("3");
    auto done = RentCatalogue::addCopies(db, e, Admin);
    EXPECT_EQ(done.error(), QStringLiteral("条形码 B7-2 已存在"));
    EXPECT_EQ(count(QStringLiteral("出租库")), 1); // B7-1 was not kept
    EXPECT_EQ(RentCatalogue::addCopies(db, entry(QStringLiteral("B7-2")), Admin).error(),
              QStringLiteral("条形码 B7-2 已存在"));
    // nor may an edit take a barcode in use
    added(entry(QStringLiteral("A1")));
    const RentCopy asRead = copy(QStringLiteral("A1"));
    RentCopy edited = asRead;
    edited.barcode = QStringLiteral("B7-2");
    EXPECT_EQ(RentCatalogue::save(db, asRead, edited).error(),
              QStringLiteral("条形码 B7-2 已存在"));
    EXPECT_EQ(copy(QStringLiteral("B7-2")).title, QStringLiteral("天龙八部"));
    EXPECT_EQ(count(QStringLiteral("出租库")), 2);
}

TEST_P(RentCatalogueTest, AnEditWithoutBarcodeOrTitleIsRefused) {
    added(entry(QStringLiteral("A1")));
    const RentCopy asRead = copy(QStringLiteral("A1"));
    for (auto change : {+[](RentCopy& c) { c.barcode = QStringLiteral(" "); },
                        +[](RentCopy& c) { c.title.clear(); }}) {
        RentCopy edited = asRead;
        change(edited);
        EXPECT_EQ(RentCatalogue::save(db, asRead, edited).error(),
                  QStringLiteral("字体加重的项目必须填写!"));
    }
    EXPECT_EQ(copy(QStringLiteral("A1")).title, QStringLiteral("天龙八部"));
}

TEST_P(RentCatalogueTest, CopyingIntoTheSaleCatalogueTwiceGivesTwoRowsAndTwoLogRows) {
    added(entry(QStringLiteral("A100")));
    for (int i = 0; i < 2; ++i) {
        Status s = RentCatalogue::copyToSale(db, QStringLiteral("A100"), Admin);
        ASSERT_TRUE(s.ok()) << s.error().toStdString();
    }
    auto rows = db.select(QStringLiteral("select * from 销售库 order by 商品id"));
    ASSERT_TRUE(rows.ok());
    int n = 0;
    while (rows.value().next()) {
        ++n;
        EXPECT_EQ(rows.value().text(QStringLiteral("条形码")), QStringLiteral("A100"));
        EXPECT_EQ(rows.value().text(QStringLiteral("商品名称")), QStringLiteral("天龙八部"));
        EXPECT_EQ(rows.value().text(QStringLiteral("py")), QStringLiteral("TLBB"));
        EXPECT_EQ(rows.value().money(QStringLiteral("定价")), *Money::parse(u"25.5"));
        EXPECT_EQ(rows.value().integer(QStringLiteral("库存")), 1);
    }
    EXPECT_EQ(n, 2);
    EXPECT_EQ(count(QStringLiteral("管理员日志"),
                    QStringLiteral("事件 = ? and 说明 = ? and 管理员 = ?"),
                    {QStringLiteral("出租转销售"), QStringLiteral("条形码:A100"), Admin}),
              2);
    EXPECT_EQ(count(QStringLiteral("出租库")), 1); // the rent row stays
}

TEST_P(RentCatalogueTest, ACopyWhoseLogRowFailsWritesNoSaleRow) {
    added(entry(QStringLiteral("A100")));
    failInsertsInto(QStringLiteral("管理员日志"));
    EXPECT_FALSE(RentCatalogue::copyToSale(db, QStringLiteral("A100"), Admin).ok());
    EXPECT_EQ(count(QStringLiteral("销售库")), 0);
}

TEST_P(RentCatalogueTest, DeletingACopyOutOnRentKeepsItsOpenRecord) {
    added(entry(QStringLiteral("A100")));
    openRent(QStringLiteral("A100"));
    ASSERT_TRUE(RentCatalogue::remove(db, QStringLiteral("A100")).ok());
    EXPECT_EQ(count(QStringLiteral("出租库")), 0);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = ?"), {QStringLiteral("否")}),
              1);
}

TEST_P(RentCatalogueTest, SavingAnEditKeepsTheSearchCodeAndAStatusSetMeanwhile) {
    added(entry(QStringLiteral("A100")));
    const RentCopy asRead = copy(QStringLiteral("A100"));
    // a counter rents the copy while the edit window is open
    execOk(QStringLiteral("update 出租库 set 状态 = ?, 借出次数 = 借出次数 + 1 where 条形码 = ?"),
           {QStringLiteral("C001"), QStringLiteral("A100")});
    RentCopy edited = asRead;
    edited.title = QStringLiteral("射雕英雄传");
    edited.price = Money::fromInt(30);
    edited.picture.clear();
    ASSERT_TRUE(RentCatalogue::save(db, asRead, edited).ok());
    const RentCopy saved = copy(QStringLiteral("A100"));
    EXPECT_EQ(saved.title, QStringLiteral("射雕英雄传"));
    EXPECT_EQ(saved.py, QStringLiteral("TLBB"));
    EXPECT_EQ(saved.price, Money::fromInt(30));
    EXPECT_TRUE(saved.picture.isEmpty());
    EXPECT_EQ(saved.status, QStringLiteral("C001"));
    EXPECT_EQ(saved.timesLent, 1);

    // withdrawn by hand: not over a rent booked since the edit began
    RentCopy late = asRead;
    late.status = QStringLiteral("停租");
    Status refused = RentCatalogue::save(db, asRead, late);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QStringLiteral("该商品的状态已变为: C001,请重新编辑!"));
    EXPECT_EQ(copy(QStringLiteral("A100")).status, QStringLiteral("C001"));
    RentCopy withdrawn = saved;
    withdrawn.status = QStringLiteral("停租");
    ASSERT_TRUE(RentCatalogue::save(db, saved, withdrawn).ok());
    EXPECT_EQ(copy(QStringLiteral("A100")).status, QStringLiteral("停租"));
}

TEST_P(RentCatalogueTest, ACopyOutOnRentKeepsItsBarcodeAndItsStatus) {
    added(entry(QStringLiteral("A100")));
    openRent(QStringLiteral("A100"));
    execOk(QStringLiteral("update 出租库 set 状态 = '散客'"));
    const RentCopy asRead = copy(QStringLiteral("A100"));
    ASSERT_TRUE(RentCatalogue::isOut(db, QStringLiteral("A100")).value());
    const QList<QPair<QString, QString>> changes = {
        {QStringLiteral("条形码"), QStringLiteral("该商品已出租,不能修改条形码!")},
        {QStringLiteral("待租"), QStringLiteral("该商品已出租,不能修改状态!")},
        {QStringLiteral("停租"), QStringLiteral("该商品已出租,不能修改状态!")}};
    for (const auto& [change, message] : changes) {
        RentCopy edited = asRead;
        if (change == QStringLiteral("条形码"))
            edited.barcode = QStringLiteral("A200");
        else
            edited.status = change;
        EXPECT_EQ(RentCatalogue::save(db, asRead, edited).error(), message) << change.toStdString();
    }
    const RentCopy still = copy(QStringLiteral("A100"));
    EXPECT_EQ(still.status, QStringLiteral("散客"));
    // other fields of a copy out may change
    RentCopy retitled = asRead;
    retitled.title = QStringLiteral("新版");
    ASSERT_TRUE(RentCatalogue::save(db, asRead, retitled).ok());
    EXPECT_EQ(copy(QStringLiteral("A100")).title, QStringLiteral("新版"));
    // returned, it can be withdrawn
    execOk(QStringLiteral("update 出租记录 set 已还 = '是'"));
    execOk(QStringLiteral("update 出租库 set 状态 = '待租'"));
    const RentCopy back = copy(QStringLiteral("A100"));
    EXPECT_FALSE(RentCatalogue::isOut(db, QStringLiteral("A100")).value());
    RentCopy withdrawn = back;
    withdrawn.status = QStringLiteral("停租");
    ASSERT_TRUE(RentCatalogue::save(db, back, withdrawn).ok());
    EXPECT_EQ(copy(QStringLiteral("A100")).status, QStringLiteral("停租"));
}
