#include "members/THyChongZhiFm.h"
#include "MemberWindowFixture.h"
#include "ui/NumberEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class THyChongZhiFmTest : public MemberWindowTest {
protected:
    void SetUp() override {
        MemberWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addMember(QStringLiteral("8001"), QStringLiteral("王芳"), "100");
        addMember(QStringLiteral("8002"), QStringLiteral("刘洋"), "20");
    }
    void lookUp(THyChongZhiFm& fm, const QString& card) {
        fm.cardEdit()->clear();
        typeText(fm.cardEdit(), card);
        QTest::keyClick(fm.cardEdit(), Qt::Key_Return);
    }
};
SHOP_ON_SQLITE(THyChongZhiFmTest);

TEST_P(THyChongZhiFmTest, TopUpOfFiftyShowsTheSignedAmountAndBooksIt) {
    THyChongZhiFm fm(login);
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("会员充值"));
    lookUp(fm, QStringLiteral(" 8001 "));
    EXPECT_EQ(fm.foundCard()->text(), QStringLiteral("8001"));
    EXPECT_EQ(fm.foundName()->text(), QStringLiteral("王芳"));
    EXPECT_EQ(fm.foundBalance()->text(), QStringLiteral("100"));
    EXPECT_TRUE(prompts->shown().isEmpty());

    typeText(fm.amountEdit(), QStringLiteral("50"));
    EXPECT_EQ(fm.signedAmountLabel()->text(), QStringLiteral("50"));
    fm.negativeBox()->click();
    EXPECT_EQ(fm.signedAmountLabel()->text(), QStringLiteral("-50"));
    fm.negativeBox()->click();
    EXPECT_EQ(fm.signedAmountLabel()->text(), QStringLiteral("50"));
    typeText(fm.remarkEdit(), QStringLiteral("现金"));
    // a new card typed without Enter leaves the member found in effect
    fm.cardEdit()->clear();
    typeText(fm.cardEdit(), QStringLiteral("8002"));

    fm.rechargeButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("完成!")});
    EXPECT_EQ(fm.result(), QDialog::Accepted);
    EXPECT_EQ(fm.foundBalance()->text(), QStringLiteral("150"));
    EXPECT_EQ(balanceOf(QStringLiteral("8001")), Money::fromInt(150));
    EXPECT_EQ(balanceOf(QStringLiteral("8002")), Money::fromInt(20));
    EXPECT_EQ(count(QStringLiteral("收入记录"),
                    QStringLiteral("项目 = ? and 金额 = ? and 会员卡号 = ? and 会员姓名 = ? and "
                                   "管理员 = ? and 说明 = ?"),
                    {QStringLiteral("充值"), QVariant::fromValue(Money::fromInt(50)),
                     QStringLiteral("8001"), QStringLiteral("王芳"), QStringLiteral("店长"),
                     QStringLiteral("[充值金额:50元]现金")}),
              1);
}

TEST_P(THyChongZhiFmTest, NegativeTopUpOfThirty) {
    THyChongZhiFm fm(login);
    lookUp(fm, QStringLiteral("8001"));
    fm.negativeBox()->click();
    typeText(fm.amountEdit(), QStringLiteral("30"));
    EXPECT_EQ(fm.signedAmountLabel()->text(), QStringLiteral("-30"));
    fm.rechargeButton()->click();
    EXPECT_EQ(balanceOf(QStringLiteral("8001")), Money::fromInt(70));
    auto note = db.select(QStringLiteral("select 金额, 说明 from 收入记录"));
    ASSERT_TRUE(note.ok() && note.value().next());
    EXPECT_EQ(note.value().money(QStringLiteral("金额")), Money::fromInt(-30));
    EXPECT_TRUE(
        note.value().text(QStringLiteral("说明")).startsWith(QStringLiteral("[充值金额:-30元]")));
}

TEST_P(THyChongZhiFmTest, NothingIsWrittenWithoutAMemberOrAValidAmount) {
    THyChongZhiFm fm(login);
    // nothing found yet: the button does nothing
    typeText(fm.amountEdit(), QStringLiteral("50"));
    fm.rechargeButton()->click();
    EXPECT_TRUE(prompts->shown().isEmpty());

    lookUp(fm, QStringLiteral("9999"));
    EXPECT_EQ(prompts->lastText(), QStringLiteral("没有找到,请检查收入的是否正确!"));
    EXPECT_TRUE(fm.foundCard()->text().isEmpty());

    lookUp(fm, QStringLiteral("8002"));
    EXPECT_EQ(fm.foundName()->text(), QStringLiteral("刘洋"));
    // a card that is not found forgets the member shown before, so the
    // top-up cannot go to the previous card by mistake
    lookUp(fm, QStringLiteral("8003"));
    EXPECT_TRUE(fm.foundCard()->text().isEmpty());
    prompts->clear();
    fm.rechargeButton()->click();
    EXPECT_TRUE(prompts->shown().isEmpty());

    lookUp(fm, QStringLiteral("8002"));
    fm.amountEdit()->clear();
    fm.rechargeButton()->click();
    ASSERT_FALSE(prompts->shown().isEmpty());
    EXPECT_EQ(prompts->shown().last().kind, PromptRecorder::Kind::Error);
    fm.amountEdit()->setText(QStringLiteral("1.2.3"));
    fm.rechargeButton()->click();
    EXPECT_EQ(prompts->shown().last().kind, PromptRecorder::Kind::Error);
    EXPECT_NE(fm.result(), QDialog::Accepted);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0);
    EXPECT_EQ(balanceOf(QStringLiteral("8002")), Money::fromInt(20));

    // a negative top-up larger than the balance is allowed
    fm.amountEdit()->setText(QStringLiteral("50"));
    fm.negativeBox()->click();
    fm.rechargeButton()->click();
    EXPECT_EQ(balanceOf(QStringLiteral("8002")), Money::fromInt(-30));
    EXPECT_EQ(fm.foundBalance()->text(), QStringLiteral("-30"));
}

TEST_P(THyChongZhiFmTest, NoteCarriesTheAmountAsDisplayed) {
    THyChongZhiFm fm(login);
    lookUp(fm, QStringLiteral("8001"));
    typeText(fm.amountEdit(), QStringLiteral("50.00"));
    fm.negativeBox()->click();
    fm.rechargeButton()->click();
    EXPECT_EQ(balanceOf(QStringLiteral("8001")), Money::fromInt(50));
    EXPECT_EQ(
        count(QStringLiteral("收入记录"), QStringLiteral("金额 = ? and 说明 = ?"),
              {QVariant::fromValue(Money::fromInt(-50)), QStringLiteral("[充值金额:-50.00元]")}),
        1);
}
