#include "sales/TSaleKuFm.h"
#include "sales/TPurchaseFm.h"
#include "sales/TSaleAddFm.h"
#include "sales/TSaleEditFm.h"
#include "sales/TSaleStockModifyFm.h"
#include "support/ModalStandIns.h"
#include "support/WindowTest.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Clears a box and types into it key by key, as a user would.
void retype(QLineEdit* box, const QString& text) {
    box->clear();
    typeInto(box, text);
}

} // namespace

class SaleCatalogueWindowsTest : public WindowTest {
protected:
    qint64 addItem(const QString& barcode, const char* price, qint64 stock) {
        auto id = db.insert(
            QStringLiteral("insert into 销售库(条形码,商品名称,py,商品类型,定价,"
                           "存放位置,介质,简介,库存) values(?,?,?,?,?,?,?,?,?)"),
            {barcode, QStringLiteral("西游记"), QStringLiteral("XYJ"), QStringLiteral("普通"),
             QVariant::fromValue(*Money::parse(QString::fromLatin1(price))), QStringLiteral("店内"),
             QStringLiteral("图书"), QStringLiteral("四大名著"), stock},
            QStringLiteral("商品id"));
        EXPECT_TRUE(id.ok());
        return id.ok() ? id.value() : -1;
    }
    qint64 stockOf(qint64 id) {
        auto s = db.scalarInteger(QStringLiteral("select 库存 from 销售库 where 商品id = ?"), {id});
        return s.ok() ? s.value().value_or(-1) : -1;
    }
};
SHOP_ON_BOTH_ENGINES(SaleCatalogueWindowsTest);

TEST_P(SaleCatalogueWindowsTest, TheAddWindowsBoxesFollowOneAnother) {
    TSaleAddFm w(login);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("新增商品-销售库"));
    EXPECT_EQ(w.quantityEdit()->text(), QStringLiteral("1"));
    typeInto(w.priceEdit(), QStringLiteral("30"));
    typeInto(w.unitPriceEdit(), QStringLiteral("18"));
    EXPECT_EQ(w.discountEdit()->text(), QStringLiteral("0.6"));
    retype(w.quantityEdit(), QStringLiteral("5"));
    EXPECT_EQ(w.totalEdit()->text(), QStringLiteral("90"));
    retype(w.discountEdit(), QStringLiteral("0.55"));
    EXPECT_EQ(w.unitPriceEdit()->text(), QStringLiteral("16.5"));
    EXPECT_EQ(w.totalEdit()->text(), QStringLiteral("82.5"));
    // a list price of 0 leaves no discount
    retype(w.priceEdit(), QStringLiteral("0"));
    EXPECT_EQ(w.discountEdit()->text(), QString());
    // keys that change no text derive nothing: the typed unit price stays
    retype(w.priceEdit(), QStringLiteral("3"));
    retype(w.unitPriceEdit(), QStringLiteral("1"));
    EXPECT_EQ(w.discountEdit()->text(), QStringLiteral("0.3333"));
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Right, Qt::Key_Shift})
        QTest::keyClick(w.discountEdit(), key);
    QTest::keyClick(w.priceEdit(), Qt::Key_Tab);
    EXPECT_EQ(w.unitPriceEdit()->text(), QStringLiteral("1"));
    EXPECT_EQ(w.discountEdit()->text(), QStringLiteral("0.3333"));
    EXPECT_EQ(w.totalEdit()->text(), QStringLiteral("5"));
}

TEST_P(SaleCatalogueWindowsTest, APurchaseKeepsTheTypedUnitPriceAndDiscount) {
    const qint64 id = addItem(QStringLiteral("9787"), "3", 2);
    auto found = SaleCatalogue::find(db, id);
    ASSERT_TRUE(found.ok() && found.value());
    TPurchaseFm w(login, *found.value());
    typeInto(w.unitPriceEdit(), QStringLiteral("1"));
    // Tab through the discount box, as a user moving on to the supplier
    QTest::keyClick(w.discountEdit(), Qt::Key_Tab);
    EXPECT_EQ(w.unitPriceEdit()->text(), QStringLiteral("1"));
    w.okButton()->click();
    ASSERT_EQ(prompts->lastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(count(QStringLiteral("进货记录"),
                    QStringLiteral("进货单价 = ? and 折扣 = ? and 总金额 = ?"),
                    {QVariant::fromValue(Money::fromInt(1)),
                     QVariant::fromValue(*Money::parse(u"0.3333")),
                     QVariant::fromValue(Money::fromInt(1))}),
              1);
}

TEST_P(SaleCatalogueWindowsTest, APurchaseOfAnItemWithoutNameOrTypeIsRefused) {
    const qint64 id = addItem(QStringLiteral("9787"), "25", 2);
    for (const char* column : {"商品名称", "商品类型"}) {
        execOk(QStringLiteral("update 销售库 set 商品名称 = ?, 商品类型 = ?"),
               {QStringLiteral("西游记"), QStringLiteral("普通")});
        execOk(QStringLiteral("update 销售库 set %1 = ' '").arg(QString::fromUtf8(column)));
        auto found = SaleCatalogue::find(db, id);
        ASSERT_TRUE(found.ok() && found.value());
        TPurchaseFm w(login, *found.value());
        typeInto(w.unitPriceEdit(), QStringLiteral("15"));
        prompts->clear();
        w.okButton()->click();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("字体加重的项目必须填写!")})
            << column;
        EXPECT_NE(w.result(), QDialog::Accepted) << column;
    }
    EXPECT_EQ(count(QStringLiteral("进货记录")), 0);
    EXPECT_EQ(stockOf(id), 2);
}

TEST_P(SaleCatalogueWindowsTest, TheEditWindowRefusesAnEmptiedBarcodeNameOrPrice) {
    const qint64 id = addItem(QStringLiteral("9787"), "25", 2);
    auto found = SaleCatalogue::find(db, id);
    ASSERT_TRUE(found.ok() && found.value());
    const QList<QPair<const char*, std::function<QLineEdit*(TSaleEditFm&)>>> boxes = {
        {"条形码", [](TSaleEditFm& w) { return w.barcodeEdit(); }},
        {"商品名称", [](TSaleEditFm& w) { return w.nameEdit(); }},
        {"定价", [](TSaleEditFm& w) { return w.priceEdit(); }}};
    for (const auto& [caption, box] : boxes) {
        TSaleEditFm w(login, *found.value());
        box(w)->setText(QStringLiteral("  "));
        prompts->clear();
        w.saveButton()->click();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("字体加重的项目必须填写!")})
            << caption;
        EXPECT_NE(w.result(), QDialog::Accepted) << caption;
    }
    EXPECT_EQ(count(QStringLiteral("销售库"),
                    QStringLiteral("条形码 = ? and 商品名称 = ? and 定价 = ?"),
                    {QStringLiteral("9787"), QStringLiteral("西游记"),
                     QVariant::fromValue(Money::fromInt(25))}),
              1);
}

TEST_P(SaleCatalogueWindowsTest, ANewItemShowsInTheListWithItsPurchaseRecord) {
    addItem(QStringLiteral("9787"), "25", 2);
    TSaleKuFm list(login);
    WindowRunner scope([&](QDialog* d) {
        auto* w = qobject_cast<TSaleAddFm*>(d);
        ASSERT_NE(w, nullptr);
        // Enter on a known barcode copies its details
        typeInto(w->barcodeEdit(), QStringLiteral("9787"));
        QTest::keyClick(w->barcodeEdit(), Qt::Key_Return);
        EXPECT_EQ(w->nameEdit()->text(), QStringLiteral("西游记"));
        EXPECT_EQ(w->searchCode(), QStringLiteral("XYJ"));
        EXPECT_EQ(w->priceEdit()->text(), QStringLiteral("25"));
        w->saveButton()->click();
        EXPECT_EQ(prompts->lastText(), QStringLiteral("字体加重的项目必须填写!"));
        typeInto(w->unitPriceEdit(), QStringLiteral("15"));
        retype(w->quantityEdit(), QStringLiteral("3"));
        w->supplierBox()->setEditText(QStringLiteral("新华书店"));
        w->saveButton()->click();
        EXPECT_EQ(prompts->lastText(), QStringLiteral("保存成功!"));
        d->reject();
    });
    list.tool(QStringLiteral("新增商品"))->trigger();
    EXPECT_EQ(count(QStringLiteral("销售库")), 2);
    EXPECT_EQ(list.grid()->integer(QStringLiteral("库存")), 3);
    EXPECT_EQ(list.grid()->footerCount(), 2);
    EXPECT_EQ(list.grid()->footerText(QStringLiteral("库存")), QStringLiteral("5"));
    EXPECT_EQ(count(QStringLiteral("进货记录"),
                    QStringLiteral("进货数量 = 3 and 折扣 = ? and 总金额 = ? and 供应商 = ?"),
                    {QVariant::fromValue(*Money::parse(u"0.6")),
                     QVariant::fromValue(Money::fromInt(45)), QStringLiteral("新华书店")}),
              1);
}

TEST_P(SaleCatalogueWindowsTest, APurchaseRaisesTheStockOfTheCurrentItem) {
    const qint64 id = addItem(QStringLiteral("9787"), "25", 2);
    TSaleKuFm list(login);
    WindowRunner scope([&](QDialog* d) {
        auto* w = qobject_cast<TPurchaseFm*>(d);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("商品进货-销售库"));
        EXPECT_EQ(w->barcodeEdit()->text(), QStringLiteral("9787"));
        EXPECT_EQ(w->priceEdit()->text(), QStringLiteral("25"));
        EXPECT_EQ(w->supplierBox()->currentText(), QStringLiteral("无"));
        EXPECT_EQ(w->remarkEdit()->toPlainText(), QStringLiteral("四大名著"));
        typeInto(w->unitPriceEdit(), QStringLiteral("15"));
        EXPECT_EQ(w->discountEdit()->text(), QStringLiteral("0.6"));
        retype(w->quantityEdit(), QStringLiteral("4"));
        EXPECT_EQ(w->totalEdit()->text(), QStringLiteral("60"));
        w->okButton()->click();
    });
    list.tool(QStringLiteral("商品进货"))->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("保存成功!"));
    EXPECT_EQ(stockOf(id), 6);
    EXPECT_EQ(list.grid()->integer(QStringLiteral("库存")), 6);
    EXPECT_EQ(count(QStringLiteral("进货记录"), QStringLiteral("供应商 = ? and 说明 = ?"),
                    {QStringLiteral("无"), QStringLiteral("四大名著")}),
              1);
}

TEST_P(SaleCatalogueWindowsTest, APurchaseWithNoItemIsRefused) {
    TSaleKuFm list(login);
    WindowRunner scope([&](QDialog* d) {
        auto* w = qobject_cast<TPurchaseFm*>(d);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->barcodeEdit()->text().isEmpty());
        typeInto(w->unitPriceEdit(), QStringLiteral("15"));
        w->okButton()->click();
        d->reject();
    });
    list.purchase();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("字体加重的项目必须填写!")});
    EXPECT_EQ(count(QStringLiteral("进货记录")), 0);
}

TEST_P(SaleCatalogueWindowsTest, AStockCorrectionSavesTheEditAndItsCancelDropsIt) {
    const qint64 id = addItem(QStringLiteral("9787"), "25", 2);
    TSaleKuFm list(login);
    // first: rename, correct the stock to 9 ("确定")
    // then: rename again, open the correction and cancel it, close the edit
    int round = 0;
    WindowRunner scope([&](QDialog* d) {
        if (auto* stock = qobject_cast<TSaleStockModifyFm*>(d)) {
            EXPECT_EQ(stock->windowTitle(), QStringLiteral("销售库存修改"));
            stock->stockEdit()->clear();
            stock->okButton()->click();
            EXPECT_EQ(prompts->lastText(), QStringLiteral("填写数量!"));
            if (round == 0) {
                typeInto(stock->stockEdit(), QStringLiteral("9"));
                stock->okButton()->click();
            } else {
                stock->cancelButton()->click();
            }
            return;
        }
        auto* edit = qobject_cast<TSaleEditFm*>(d);
        ASSERT_NE(edit, nullptr);
        edit->nameEdit()->setText(round == 0 ? QStringLiteral("西游记(新)")
                                             : QStringLiteral("不该保存"));
        edit->stockButton()->click();
        EXPECT_EQ(edit->nameEdit()->text(), QStringLiteral("西游记(新)"));
        if (round == 0) {
            EXPECT_EQ(edit->stockEdit()->text(), QStringLiteral("9"));
        }
        edit->closeButton()->click();
    });
    list.tool(QStringLiteral("编辑"))->trigger();
    round = 1;
    list.tool(QStringLiteral("编辑"))->trigger();
    EXPECT_EQ(stockOf(id), 9);
    EXPECT_EQ(count(QStringLiteral("销售库"), QStringLiteral("商品名称 = ?"),
                    {QStringLiteral("西游记(新)")}),
              1);
    EXPECT_EQ(count(QStringLiteral("管理员日志"),
                    QStringLiteral("事件 = ? and 说明 = ? and 管理员 = ?"),
                    {QStringLiteral("修改库存"), QStringLiteral("条形码:9787"), login.adminName}),
              1);
}

TEST_P(SaleCatalogueWindowsTest, GatesRefuseWithoutPermission) {
    addItem(QStringLiteral("9787"), "25", 2);
    WindowRunner refuseAll([](QDialog* d) {
        ADD_FAILURE() << "opened " << d->windowTitle().toStdString();
        d->reject();
    });
    const QList<QPair<const char*, Permission>> cases = {
        {"编辑", Permission::SaleEdit},
        {"删除", Permission::SaleDelete},
        {"转入出租库", Permission::CatalogueTransfer}};
    for (const auto& [tool, gate] : cases) {
        LoginContext refused = login;
        refused.permissions.set(gate, false);
        TSaleKuFm list(refused);
        prompts->clear();
        list.tool(QString::fromUtf8(tool))->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")}) << tool;
    }
    LoginContext noStock = login;
    noStock.permissions.set(Permission::SaleStockEdit, false);
    auto found = SaleCatalogue::find(db, 1);
    ASSERT_TRUE(found.ok() && found.value());
    TSaleEditFm edit(noStock, *found.value());
    prompts->clear();
    edit.stockButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("没有权限!")});
    EXPECT_EQ(count(QStringLiteral("销售库")), 1);
    EXPECT_EQ(count(QStringLiteral("出租库")), 0);
}

TEST_P(SaleCatalogueWindowsTest, CopyingIntoTheRentCatalogueAsksAndTells) {
    addItem(QStringLiteral("9787"), "25", 2);
    TSaleKuFm list(login);
    prompts->setNextAnswer(true);
    list.tool(QStringLiteral("转入出租库"))->trigger();
    EXPECT_EQ(prompts->texts(),
              (QStringList{QStringLiteral("您是否要把条形码: 9787,的商品转移到出租库?"),
                           QStringLiteral("转移成功,请自行根据需要删除本库的记录!")}));
    EXPECT_EQ(count(QStringLiteral("出租库"), QStringLiteral("条形码 = ? and 状态 = ?"),
                    {QStringLiteral("9787"), QStringLiteral("待租")}),
              1);
    // twice: said in the shop's words, nothing written
    prompts->clear();
    prompts->setNextAnswer(true);
    list.tool(QStringLiteral("转入出租库"))->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("出租库中条形码 9787 已存在"));
    EXPECT_EQ(count(QStringLiteral("出租库")), 1);
    prompts->setNextAnswer(true);
    list.tool(QStringLiteral("删除"))->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("您是否要删除\" 西游记\""));
    EXPECT_EQ(count(QStringLiteral("销售库")), 0);
}
