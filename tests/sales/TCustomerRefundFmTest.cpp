#include "core/SalesFixture.h"

#include "sales/TCustomerRefundFm.h"
#include "support/ModalStandIns.h"
#include "ui/DataGrid.h"
#include "ui/NumberEdit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TCustomerRefundFmTest : public SalesTest {
protected:
    void SetUp() override {
        SalesTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        login.adminName = QStringLiteral("店长");
        login.connectionName = db.connectionName();
        addMemberType(QStringLiteral("银卡"), "1", false);
        addMember(QStringLiteral("1002"), QStringLiteral("李娜"), QStringLiteral("银卡"), "100",
                  "50");
        pen = addItem(QStringLiteral("6902"), QStringLiteral("钢笔"), "8.5", 10);
        // an older cash sale and a newer card sale of the same pen
        sell(PayCash, 3, QDateTime(QDate(2026, 12, 1), QTime(9, 0)));
        sell(PayFromCard, 2, QDateTime(QDate(2026, 12, 8), QTime(16, 0)));
        Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
    }

    void sell(const QString& payment, qint64 quantity, const QDateTime& when) {
        Clock::setFixed(when);
        SaleOrder o = order({SalePricing::makeLine(QStringLiteral("6902"), QStringLiteral("钢笔"),
                                                   money("8.5"), quantity, money("1"), pen)},
                            payment, QStringLiteral("1002"), QStringLiteral("李娜"));
        auto receipt = bookSale(db, o);
        ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    }

    std::unique_ptr<TCustomerRefundFm> open() {
        auto fm = std::make_unique<TCustomerRefundFm>(login);
        fm->show();
        return fm;
    }
    template <class T = QLineEdit> T* box(TCustomerRefundFm& fm, const char* name) {
        auto* found = fm.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void search(TCustomerRefundFm& fm, const QString& barcode) {
        box(fm, "barcode")->setFocus();
        QTest::keyClicks(box(fm, "barcode"), barcode);
        QTest::keyClick(box(fm, "barcode"), Qt::Key_Return);
    }
    void setBox(TCustomerRefundFm& fm, const char* name, const QString& text) {
        box(fm, name)->setFocus();
        box(fm, name)->selectAll();
        QTest::keyClick(box(fm, name), Qt::Key_Backspace);
        QTest::keyClicks(box(fm, name), text);
    }

    LoginContext login;
    PromptRecorder prompts;
    qint64 pen = 0;
};
INSTANTIATE_TEST_SUITE_P(Sqlite, TCustomerRefundFmTest, ::testing::Values(Engine::Sqlite),
                         engineName);

TEST_P(TCustomerRefundFmTest, SearchStartsFromTheNewestSaleAndRefundsToTheCard) {
    auto fm = open();
    EXPECT_EQ(fm->windowTitle(), QStringLiteral("顾客退货"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("1"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("0"));
    EXPECT_EQ(box(*fm, "method")->text(), QStringLiteral("现金返还"));

    search(*fm, QStringLiteral("6902")); // Enter searches once a barcode is typed
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.lastText().toStdString();
    DataGrid* grid = fm->grid();
    ASSERT_EQ(grid->loadedRowCount(), 2);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->text(QStringLiteral("日期")), QStringLiteral("2026-12-08 16:00:00"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("2"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("17"));
    EXPECT_EQ(box(*fm, "method")->text(), QStringLiteral("返还卡内"));

    setBox(*fm, "quantity", QStringLiteral("1"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("8.5"));
    setBox(*fm, "quantity", QStringLiteral("2"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("17"));

    fm->findChild<QPushButton*>(QStringLiteral("refund"))->click(); // No
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您确定退的是: \" 钢笔\""));
    EXPECT_EQ(count(QStringLiteral("退货记录")), 0);

    prompts.setNextAnswer(true);
    fm->findChild<QPushButton*>(QStringLiteral("refund"))->click();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("完成!"));
    EXPECT_EQ(fm->result(), QDialog::Accepted);
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("100"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("75.5"));
    EXPECT_EQ(stockOf(pen), 7);
    EXPECT_EQ(count(QStringLiteral("退货记录"),
                    QStringLiteral("销售单号 = '2' and 数量 = 2 and 退还金额 = ? and "
                                   "退还方式 = '返还卡内' and 管理员 = '店长'"),
                    {QVariant::fromValue(money("17"))}),
              1);
}

TEST_P(TCustomerRefundFmTest, ClickingTheOlderCashLineRefundsInCash) {
    auto fm = open();
    search(*fm, QStringLiteral("6902"));
    QTableView* view = fm->grid()->view();
    const QPoint second = view->visualRect(view->model()->index(1, 1)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(fm->grid()->currentRow(), 1);
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("3"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("25.5"));
    EXPECT_EQ(box(*fm, "method")->text(), QStringLiteral("现金返还"));
    setBox(*fm, "quantity", QStringLiteral("1"));
    prompts.setNextAnswer(true);
    fm->findChild<QPushButton*>(QStringLiteral("refund"))->click();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("完成!"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("卡内金额")), money("83"));
    EXPECT_EQ(memberMoney(QStringLiteral("1002"), QStringLiteral("会员积分")), money("84"));
    EXPECT_EQ(stockOf(pen), 6);
}

TEST_P(TCustomerRefundFmTest, RefusalsAndNotFound) {
    auto fm = open();
    auto* refund = fm->findChild<QPushButton*>(QStringLiteral("refund"));
    fm->findChild<QPushButton*>(QStringLiteral("search"))->click();
    EXPECT_TRUE(prompts.shown().isEmpty()) << "an empty barcode searches nothing";

    refund->click(); // amount "0" as opened
    EXPECT_EQ(prompts.lastText(), QStringLiteral("请填写退货数量和退还金额!"));

    search(*fm, QStringLiteral("0000"));
    EXPECT_EQ(prompts.lastText(), QStringLiteral("没有找到!"));
    prompts.clear();
    setBox(*fm, "amount", QStringLiteral("5"));
    refund->click();
    EXPECT_TRUE(prompts.shown().isEmpty()) << "no sale line, no refund";

    box(*fm, "barcode")->clear();
    search(*fm, QStringLiteral("6902"));
    for (const char* quantity : {"0", "", "00"}) {
        prompts.clear();
        setBox(*fm, "quantity", QString::fromLatin1(quantity));
        setBox(*fm, "amount", QStringLiteral("5"));
        refund->click();
        EXPECT_EQ(prompts.lastText(), QStringLiteral("请填写退货数量和退还金额!")) << quantity;
    }
    prompts.clear();
    setBox(*fm, "quantity", QStringLiteral("99999999999999999999"));
    refund->click();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_NE(prompts.lastText().indexOf(QStringLiteral("退货数量")), -1);
    prompts.clear();
    setBox(*fm, "quantity", QStringLiteral("1"));
    setBox(*fm, "amount", QStringLiteral("."));
    refund->click();
    ASSERT_EQ(prompts.shown().size(), 1);
    EXPECT_NE(prompts.lastText().indexOf(QStringLiteral("退还金额")), -1);
    EXPECT_EQ(count(QStringLiteral("退货记录")), 0);
}

TEST_P(TCustomerRefundFmTest, TheGridShowsWhatWasRefundedAndProposesWhatIsLeft) {
    execOk(QStringLiteral("insert into 退货记录(销售记录id,数量,退还金额) "
                          "select id, 1, ? from 销售记录 where 数量 = 3"),
           {QVariant::fromValue(money("8.5"))});
    auto fm = open();
    search(*fm, QStringLiteral("6902"));
    QTableView* view = fm->grid()->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(view->model()->index(1, 1)).center());
    ASSERT_EQ(fm->grid()->currentRow(), 1);
    EXPECT_EQ(fm->grid()->text(QStringLiteral("已退数量")), QStringLiteral("1"));
    EXPECT_EQ(fm->grid()->text(QStringLiteral("已退金额")), QStringLiteral("8.5"));
    EXPECT_EQ(box(*fm, "quantity")->text(), QStringLiteral("2"));
    EXPECT_EQ(box(*fm, "amount")->text(), QStringLiteral("17"));
    // three more than are left: refused with what is left, nothing written
    setBox(*fm, "quantity", QStringLiteral("3"));
    prompts.setNextAnswer(true);
    fm->findChild<QPushButton*>(QStringLiteral("refund"))->click();
    EXPECT_EQ(prompts.lastText(),
              QStringLiteral("退货没有完成: 该销售记录最多还能退 2 件, 金额 17 元."));
    EXPECT_EQ(count(QStringLiteral("退货记录")), 1);
}
