#include "FinanceWindowFixture.h"
#include "finance/TPayFm.h"
#include "finance/TZhiChuFm.h"
#include "store/Schema.h"
#include "ui/NumberEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

class MoneyEntryFmTest : public FinanceWindowTest {
protected:
    static QStringList items(const MoneyEntryFm& fm) {
        QStringList result;
        for (int i = 0; i < fm.itemBox()->count(); ++i)
            result << fm.itemBox()->itemText(i);
        return result;
    }
};
SHOP_ON_BOTH_ENGINES(MoneyEntryFmTest);

TEST_P(MoneyEntryFmTest, AChargeWithOnlyAnAmountBooksAFineAndCloses) {
    addType("收入", "复印费");
    addType("支出", "房租");
    TPayFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("收费"));
    EXPECT_EQ(fm.itemBox()->currentText(), u("罚款"));
    QSignalSpy closed(&fm, &QDialog::accepted);
    EXPECT_EQ(items(fm), QStringList{u("复印费")});
    // letters, signs and the point cannot be typed
    QTest::keyClicks(fm.amountBox(), QStringLiteral("a5.-0x"));
    EXPECT_EQ(fm.amountBox()->text(), u("50"));
    QTest::mouseClick(fm.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->texts(), QStringList{u("完成!")});
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(count(u("收入记录"), u("项目 = ? and 会员卡号 = ? and 会员姓名 = '' and 说明 = ''"),
                    {u("罚款"), u("收费")}),
              1);
    auto sum = db.scalarMoney(u("select sum(金额) from 收入记录"));
    EXPECT_EQ(sum.value(), Money::fromInt(50));
}

TEST_P(MoneyEntryFmTest, ZeroOrNoAmountIsRefusedAndOneIsAccepted) {
    TPayFm fm(login);
    EXPECT_EQ(fm.nameBox()->maxLength(), Schema::textLength(u("收入记录"), u("会员姓名")));
    QSignalSpy closed(&fm, &QDialog::accepted);
    typeText(fm.nameBox(), u(" 王五 "));
    QTest::mouseClick(fm.okButton(), Qt::LeftButton);
    QTest::keyClicks(fm.amountBox(), QStringLiteral("0"));
    QTest::mouseClick(fm.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->texts(), (QStringList{u("请输入正确的金额!"), u("请输入正确的金额!")}));
    EXPECT_EQ(count(u("收入记录")), 0);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(fm.nameBox()->text(), u(" 王五 ")); // kept for another try

    fm.amountBox()->clear();
    QTest::keyClicks(fm.amountBox(), QStringLiteral("1"));
    EXPECT_TRUE(fm.confirm());
    EXPECT_EQ(count(u("收入记录"), u("会员姓名 = ?"), {u("王五")}), 1);
}

TEST_P(MoneyEntryFmTest, AnExpenseNeedsAnItemFromItsOwnList) {
    addType("收入", "复印费");
    addType("支出", "房租");
    addType("支出", "水电");
    TZhiChuFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("支出"));
    EXPECT_EQ(fm.itemBox()->currentText(), QString());
    QStringList listed = items(fm);
    listed.sort();
    EXPECT_EQ(listed, (QStringList{u("房租"), u("水电")}));

    QTest::mouseClick(fm.okButton(), Qt::LeftButton); // nothing typed at all
    EXPECT_EQ(prompts->texts(), QStringList{u("选择项目!")});
    fm.itemBox()->setCurrentIndex(fm.itemBox()->findText(u("房租")));
    QTest::mouseClick(fm.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->lastText(), u("请输入正确的金额!"));
    EXPECT_EQ(count(u("支出记录")), 0);

    QTest::keyClicks(fm.amountBox(), QStringLiteral("800"));
    typeText(fm.nameBox(), u(" 房东 "));
    fm.remarkBox()->setPlainText(u("三月\n房租"));
    QTest::mouseClick(fm.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->lastText(), u("完成!"));
    EXPECT_EQ(count(u("支出记录"), u("项目 = ? and 姓名 = ? and 说明 = ? and 管理员 = ?"),
                    {u("房租"), u("房东"), u("三月\n房租"), u("店长")}),
              1);
}

TEST_P(MoneyEntryFmTest, AFailedBookingSaysWhyAndKeepsTheWindowOpen) {
    failInsertsInto(u("收入记录"));
    TPayFm fm(login);
    QSignalSpy closed(&fm, &QDialog::accepted);
    QTest::keyClicks(fm.amountBox(), QStringLiteral("5"));
    EXPECT_FALSE(fm.confirm());
    ASSERT_EQ(prompts->shown().size(), 1);
    EXPECT_EQ(prompts->shown()[0].kind, PromptRecorder::Kind::Error);
    EXPECT_EQ(closed.count(), 0);
    EXPECT_EQ(fm.amountBox()->text(), u("5"));
}

TEST_P(MoneyEntryFmTest, BothWindowsBookFromTheKeyboardAloneAndSayAmountsAreWholeYuan) {
    addType("支出", "房租");
    TPayFm pay(login);
    TZhiChuFm expense(login);
    const struct {
        MoneyEntryFm* fm;
        const char* item; // typed into the first box
        const char* table;
    } windows[] = {{&pay, "复印费", "收入记录"}, {&expense, "房租", "支出记录"}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.table);
        MoneyEntryFm& fm = *w.fm;
        fm.show();
        QApplication::setActiveWindow(&fm);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fm));
        // the caption beside the amount box, on its line
        QLabel* caption = nullptr;
        for (QLabel* label : fm.findChildren<QLabel*>())
            if (label->text() == u("(整元)"))
                caption = label;
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(caption->isVisible());
        EXPECT_GE(caption->x(), fm.amountBox()->geometry().right());
        EXPECT_LT(
            std::abs(caption->geometry().center().y() - fm.amountBox()->geometry().center().y()),
            fm.amountBox()->height() / 2);

        fm.itemBox()->setFocus();
        fm.itemBox()->clearEditText();
        typeText(QApplication::focusWidget(), u(w.item));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        typeText(QApplication::focusWidget(), u("王五"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        typeText(QApplication::focusWidget(), u("备注"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), fm.amountBox());
        QTest::keyClicks(QApplication::focusWidget(),
                         QStringLiteral("12.5")); // the point is dropped
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), fm.okButton());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(prompts->lastText(), u("完成!"));
        EXPECT_FALSE(fm.isVisible());
        EXPECT_EQ(count(u(w.table), u("项目 = ? and 说明 = ? and 金额 = ?"),
                        {u(w.item), u("备注"), QVariant::fromValue(Money::fromInt(125))}),
                  1);
    }
}
