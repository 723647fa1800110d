#include "core/SalesFixture.h"

#include "sales/TSaleFm.h"
#include "sales/TSaleGoodsChoiceFm.h"
#include "sales/TSalePriceXiuGaiFm.h"
#include "support/ModalStandIns.h"
#include "ui/DataGrid.h"
#include "ui/NumberEdit.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

QPushButton* button(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

void type(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class TSaleFmTest : public SalesTest {
protected:
    void SetUp() override {
        SalesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        login.adminName = QStringLiteral("收银员");
        login.connectionName = db.connectionName();
        notebook = addItem(QStringLiteral("6901"), QStringLiteral("笔记本"), "20", 10);
        pen = addItem(QStringLiteral("6902"), QStringLiteral("钢笔"), "8.5", 5);
        addItem(QStringLiteral("6903"), QStringLiteral("卖完的尺子"), "2", 0);
        execOk(QStringLiteral("update 系统信息 set 销售单号 = 41"));
    }

    // A window as the main window opens it, shown.
    std::unique_ptr<TSaleFm> open() {
        auto fm = std::make_unique<TSaleFm>(login);
        fm->show();
        tester = std::make_unique<QAbstractItemModelTester>(
            const_cast<SaleLinesModel*>(&fm->lines()),
            QAbstractItemModelTester::FailureReportingMode::Fatal);
        return fm;
    }

    template <class T = QLineEdit> T* box(TSaleFm& fm, const char* name) {
        auto* found = fm.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString label(TSaleFm& fm, const char* name) { return box<QLabel>(fm, name)->text(); }

    void scan(TSaleFm& fm, const QString& barcode) {
        type(box(fm, "barcode"), barcode);
        QTest::keyClick(box(fm, "barcode"), Qt::Key_Return);
    }
    void enterCard(TSaleFm& fm, const QString& card) {
        type(box(fm, "card"), card);
        QTest::keyClick(box(fm, "card"), Qt::Key_Return);
    }
    QString cell(TSaleFm& fm, int row, int column) {
        return fm.lines().index(row, column).data().toString();
    }
    void select(TSaleFm& fm, int row) { box<QTableView>(fm, "lines")->selectRow(row); }

    LoginContext login;
    PromptRecorder prompts;
    std::unique_ptr<QAbstractItemModelTester> tester;
    qint64 notebook = 0;
    qint64 pen = 0;
};
INSTANTIATE_TEST_SUITE_P(Sqlite, TSaleFmTest, ::testing::Values(Engine::Sqlite), engineName);

TEST_P(TSaleFmTest, OpensOnTheWalkInWithTheNextNumber) {
    auto fm = open();
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("销售"));
    EXPECT_EQ(label(*fm, "orderNumber"), QStringLiteral("42"));
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("0"));
    EXPECT_EQ(label(*fm, "lineCount"), QStringLiteral("0"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("1"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("1"));
    EXPECT_EQ(box(*fm, "name")->text(), QStringLiteral("散客"));
    EXPECT_EQ(box(*fm, "type")->text(), QStringLiteral("散客"));
    EXPECT_EQ(box(*fm, "balance")->text(), QStringLiteral("0"));
    EXPECT_EQ(box(*fm, "unreturned")->text(), QStringLiteral("0"));
    EXPECT_EQ(fm->memberCard(), QStringLiteral("散客"));
    auto* payment = box<QComboBox>(*fm, "payment");
    EXPECT_EQ(payment->currentText(), QStringLiteral("现金支付"));
    ASSERT_EQ(payment->count(), 2);
    EXPECT_EQ(payment->itemText(1), QStringLiteral("卡内扣除"));
    EXPECT_FALSE(payment->isEditable()) << "only its two entries";
    // the key filters of the entry boxes
    type(box(*fm, "quantity"), QStringLiteral("1a.5"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("15"));
    type(box(*fm, "discount"), QStringLiteral("0.8a5"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("0.85"));
}

TEST_P(TSaleFmTest, TwoScansAreTwoLinesAndQuantityZeroBecomesOne) {
    auto fm = open();
    type(box(*fm, "quantity"), QStringLiteral("0"));
    scan(*fm, QStringLiteral("6901"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("1"));
    scan(*fm, QStringLiteral("6901"));
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.lastText().toStdString();
    ASSERT_EQ(fm->lines().rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(cell(*fm, row, SaleLinesModel::Barcode), QStringLiteral("6901"));
        EXPECT_EQ(cell(*fm, row, SaleLinesModel::Quantity), QStringLiteral("1"));
        EXPECT_EQ(cell(*fm, row, SaleLinesModel::Total), QStringLiteral("20"));
        EXPECT_EQ(cell(*fm, row, SaleLinesModel::ItemId), QString::number(notebook));
    }
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("40"));
    EXPECT_EQ(label(*fm, "lineCount"), QStringLiteral("2"));
    EXPECT_EQ(box(*fm, "barcode")->selectedText(), QStringLiteral("6901"));

    // an item out of stock is not found; an empty quantity is asked for
    scan(*fm, QStringLiteral("6903"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到该商品信息,请检查输入的信息是否正确!"));
    box(*fm, "quantity")->clear();
    scan(*fm, QStringLiteral("6901"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("请输入数量!"));
    EXPECT_EQ(fm->lines().rowCount(), 2);
}

TEST_P(TSaleFmTest, MalformedDiscountIsRefusedBeforeALineIsAdded) {
    auto fm = open();
    type(box(*fm, "discount"), QStringLiteral("."));
    scan(*fm, QStringLiteral("6901"));
    EXPECT_NE(prompts.lastText().indexOf(QStringLiteral("折扣")), -1)
        << prompts.lastText().toStdString();
    EXPECT_EQ(fm->lines().rowCount(), 0);
    // an empty discount box counts as 1
    box(*fm, "discount")->clear();
    scan(*fm, QStringLiteral("6902"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("1"));
    ASSERT_EQ(fm->lines().rowCount(), 1);
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Total), QStringLiteral("8.5"));
}

TEST_P(TSaleFmTest, EmptyBarcodeOffersEveryItemInStock) {
    auto fm = open();
    int offered = -1;
    QString caption;
    {
        WindowRunner cancel([&](QDialog* d) {
            auto* choice = qobject_cast<TSaleGoodsChoiceFm*>(d);
            ASSERT_NE(choice, nullptr);
            caption = choice->windowTitle();
            offered = choice->grid()->loadedRowCount();
            button(choice, QStringLiteral("取消"))->click();
        });
        scan(*fm, QString());
    }
    EXPECT_EQ(caption, QStringLiteral("选择商品"));
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(fm->lines().rowCount(), 0);

    WindowRunner pick([&](QDialog* d) {
        auto* choice = qobject_cast<TSaleGoodsChoiceFm*>(d);
        ASSERT_NE(choice, nullptr);
        ASSERT_TRUE(choice->grid()->locate(QStringLiteral("条形码"), QStringLiteral("6902")));
        button(choice, QStringLiteral("确定"))->click();
    });
    scan(*fm, QString());
    ASSERT_EQ(fm->lines().rowCount(), 1);
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Name), QStringLiteral("钢笔"));
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::ItemId), QString::number(pen));
}

TEST_P(TSaleFmTest, MemberLookupSetsDiscountUnreturnedAndWarnsWhenExpired) {
    addMemberType(QStringLiteral("银卡"), "0.9", true);
    addMemberType(QStringLiteral("金卡"), "0.85", false);
    const QDateTime past(QDate(2026, 1, 1), QTime(0, 0));
    addMember(QStringLiteral("1002"), QStringLiteral("李娜"), QStringLiteral("银卡"), "120.5", "0");
    addMember(QStringLiteral("1003"), QStringLiteral("王芳"), QStringLiteral("金卡"), "300", "0",
              past);
    addMember(QStringLiteral("1004"), QStringLiteral("刘洋"), QStringLiteral("银卡"), "8", "0",
              past);
    addMember(QStringLiteral("1005"), QStringLiteral("赵六"), QStringLiteral("已删类型"), "1", "0");
    execOk(QStringLiteral("insert into 出租记录(条形码,会员卡号,已还) values('A1','1002','否'),"
                          "('A2','1002','是'),('A3','1002','否')"));
    auto fm = open();
    scan(*fm, QStringLiteral("6901"));

    enterCard(*fm, QStringLiteral(" 1002 "));
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.lastText().toStdString();
    EXPECT_EQ(fm->memberCard(), QStringLiteral("1002"));
    EXPECT_EQ(box(*fm, "name")->text(), QStringLiteral("李娜"));
    EXPECT_EQ(box(*fm, "type")->text(), QStringLiteral("银卡"));
    EXPECT_EQ(box(*fm, "balance")->text(), QStringLiteral("120.5"));
    EXPECT_EQ(box(*fm, "unreturned")->text(), QStringLiteral("2"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("0.9"));
    EXPECT_EQ(fm->lines().rowCount(), 0) << "a new customer clears the lines";
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("0"));

    scan(*fm, QStringLiteral("6902"));
    ASSERT_EQ(fm->lines().rowCount(), 1);
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::UnitPrice), QStringLiteral("7.65"));
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Discount), QStringLiteral("0.9"));

    enterCard(*fm, QStringLiteral("1003")); // expired, but the type does not check
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.lastText().toStdString();
    enterCard(*fm, QStringLiteral("1004"));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("重要提示: 该会员有效期已到!")});
    EXPECT_EQ(fm->memberCard(), QStringLiteral("1004")) << "the expired member stays chosen";

    prompts.clear();
    scan(*fm, QStringLiteral("6902"));
    enterCard(*fm, QStringLiteral("9999"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到这个卡号的会员资料,请检查卡号是否正确!"));
    // no earlier member stays in effect: back to the walk-in, a fresh list
    EXPECT_EQ(fm->memberCard(), QStringLiteral("散客"));
    EXPECT_EQ(box(*fm, "name")->text(), QStringLiteral("散客"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("1"));
    EXPECT_EQ(fm->lines().rowCount(), 0);
    EXPECT_EQ(box(*fm, "card")->selectedText(), QStringLiteral("9999"));
    scan(*fm, QStringLiteral("6902"));

    enterCard(*fm, QStringLiteral("1005"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("会员类型 中没有找到对应的会员类型!"));
    EXPECT_EQ(box(*fm, "name")->text(), QStringLiteral("赵六"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("1")) << "discount stays";
    EXPECT_EQ(fm->lines().rowCount(), 1) << "the list stays";
}

TEST_P(TSaleFmTest, LineTotalEditNeedsItsPermission) {
    auto fm = open();
    type(box(*fm, "discount"), QStringLiteral("1"));
    execOk(QStringLiteral("update 销售库 set 定价 = ? where 商品id = ?"),
           {QVariant::fromValue(money("12.35")), notebook});
    type(box(*fm, "quantity"), QStringLiteral("3"));
    type(box(*fm, "discount"), QStringLiteral("0.85"));
    scan(*fm, QStringLiteral("6901"));
    ASSERT_EQ(fm->lines().rowCount(), 1);
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::UnitPrice), QStringLiteral("10.4975"));
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Total), QStringLiteral("31.4925"));
    auto* list = box<QTableView>(*fm, "lines");
    const QPoint centre = list->visualRect(fm->lines().index(0, 0)).center();

    int opened = 0;
    WindowRunner edit([&](QDialog* d) {
        ++opened;
        auto* price = qobject_cast<TSalePriceXiuGaiFm*>(d);
        ASSERT_NE(price, nullptr);
        EXPECT_EQ(price->windowTitle(), QStringLiteral("请输入"));
        EXPECT_EQ(price->totalEdit()->text(), QStringLiteral("31.4925"));
        type(price->totalEdit(), QStringLiteral("."));
        button(price, QStringLiteral("确定"))->click();
        EXPECT_TRUE(price->isVisible()) << "a malformed total keeps the window open";
        price->totalEdit()->clear();
        button(price, QStringLiteral("确定"))->click();
        EXPECT_TRUE(price->isVisible()) << "an empty total keeps the window open";
        type(price->totalEdit(), QStringLiteral("30"));
        button(price, QStringLiteral("确定"))->click();
    });

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有修改权限!"));

    login.permissions.set(Permission::SalePriceEdit, true);
    prompts.clear();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(opened, 1);
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Total), QStringLiteral("30"));
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::UnitPrice), QStringLiteral("10"));
    EXPECT_EQ(cell(*fm, 0, SaleLinesModel::Discount), QStringLiteral("0.8097"));
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("30"));
}

TEST_P(TSaleFmTest, RemovingALineAsksByBarcodeAndName) {
    auto fm = open();
    scan(*fm, QStringLiteral("6901"));
    button(fm.get(), QStringLiteral("取消"))->click();
    EXPECT_TRUE(prompts.shown().isEmpty()) << "nothing selected, nothing asked";

    select(*fm, 0);
    button(fm.get(), QStringLiteral("取消"))->click(); // unanswered: No
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_EQ(prompts.shown()[0].kind, PromptRecorder::Kind::Question);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您是否要删除\" 6901\",\"笔记本\""));
    EXPECT_EQ(fm->lines().rowCount(), 1);

    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("取消"))->click();
    EXPECT_EQ(fm->lines().rowCount(), 0);
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("0"));
    EXPECT_EQ(label(*fm, "lineCount"), QStringLiteral("0"));
}

TEST_P(TSaleFmTest, BookingACardSaleResetsForTheNextCustomer) {
    addMemberType(QStringLiteral("银卡"), "0.9", false);
    addMember(QStringLiteral("1002"), QStringLiteral("李娜"), QStringLiteral("银卡"), "10", "5");
    auto fm = open();
    button(fm.get(), QStringLiteral("销售"))->click();
    EXPECT_TRUE(prompts.shown().isEmpty()) << "an empty list books nothing";

    enterCard(*fm, QStringLiteral("1002"));
    type(box(*fm, "quantity"), QStringLiteral("2"));
    scan(*fm, QStringLiteral("6901"));
    box<QComboBox>(*fm, "payment")->setCurrentText(QStringLiteral("卡内扣除"));
    button(fm.get(), QStringLiteral("销售"))->click(); // No
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您确定要销售这些商品? "));
    EXPECT_EQ(count(QStringLiteral("销售记录")), 0);

    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("销售"))->click();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("完成!\n单据号: 42"));
    EXPECT_EQ(count(QStringLiteral("销售记录"),
                    QStringLiteral("销售单号 = '42' and 会员卡号 = '1002' and 合计 = ? and "
                                   "支付方式 = '卡内扣除' and 管理员 = '收银员'"),
                    {QVariant::fromValue(money("36"))}),
              1);
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("-26"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("41"));
    EXPECT_EQ(stockOf(notebook), 8);
    EXPECT_EQ(fm->lines().rowCount(), 0);
    EXPECT_EQ(fm->memberCard(), QStringLiteral("散客"));
    EXPECT_EQ(box(*fm, "discount")->text(), QStringLiteral("1"));
    EXPECT_EQ(label(*fm, "orderNumber"), QStringLiteral("43"));
    // the payment mode stays for the next customer; for the walk-in a card
    // payment is refused and nothing is written
    EXPECT_EQ(box<QComboBox>(*fm, "payment")->currentText(), QStringLiteral("卡内扣除"));
    scan(*fm, QStringLiteral("6902"));
    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("销售"))->click();
    EXPECT_EQ(prompts.lastText(),
              QStringLiteral("销售没有完成: 散客不能卡内扣除, 请选择现金支付."));
    EXPECT_EQ(count(QStringLiteral("销售记录")), 1);
    EXPECT_EQ(fm->lines().rowCount(), 1);
}

TEST_P(TSaleFmTest, CompletionNamesTheNumberUsedWhenAnotherWorkstationBookedFirst) {
    auto fm = open();
    EXPECT_EQ(label(*fm, "orderNumber"), QStringLiteral("42"));
    scan(*fm, QStringLiteral("6901"));
    execOk(QStringLiteral("update 系统信息 set 销售单号 = 42")); // a sale booked elsewhere
    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("销售"))->click();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("完成!\n单据号: 43"));
    EXPECT_EQ(count(QStringLiteral("销售记录"), QStringLiteral("销售单号 = '43'")), 1);
    EXPECT_EQ(label(*fm, "orderNumber"), QStringLiteral("44"));
}

TEST_P(TSaleFmTest, AFailedBookingKeepsTheLinesForAnotherTry) {
    auto fm = open();
    scan(*fm, QStringLiteral("6901"));
    scan(*fm, QStringLiteral("6902"));
    failInsertsInto(QStringLiteral("收入记录"));
    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("销售"))->click();
    ASSERT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Error);
    EXPECT_TRUE(prompts.lastText().startsWith(QStringLiteral("销售没有完成: ")));
    EXPECT_EQ(fm->lines().rowCount(), 2);
    EXPECT_EQ(label(*fm, "total"), QStringLiteral("28.5"));
    EXPECT_EQ(count(QStringLiteral("销售记录")), 0);
    EXPECT_EQ(stockOf(notebook), 10);
    EXPECT_EQ(saleCounter(), 41);
}

TEST_P(TSaleFmTest, ClosingWithUnsoldLinesAsksFirst) {
    auto fm = open();
    QTest::keyClick(box(*fm, "barcode"), Qt::Key_Escape);
    EXPECT_FALSE(fm->isVisible()) << "no lines: closed without asking";
    EXPECT_TRUE(prompts.shown().isEmpty());

    fm = open();
    scan(*fm, QStringLiteral("6901"));
    QTest::keyClick(box(*fm, "barcode"), Qt::Key_Escape); // answered No
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("还有未结算的商品, 确定要关闭吗?")});
    EXPECT_EQ(prompts.shown().last().kind, PromptRecorder::Kind::Question);
    EXPECT_TRUE(fm->isVisible());
    EXPECT_EQ(fm->lines().rowCount(), 1);
    prompts.setNextAnswer(true);
    button(fm.get(), QStringLiteral("关闭"))->click();
    EXPECT_FALSE(fm->isVisible());
    EXPECT_EQ(count(QStringLiteral("销售记录")), 0);
}
