#include "members/THyAddFm.h"
#include "MemberWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class THyAddFmTest : public MemberWindowTest {
protected:
    void fill(THyAddFm& fm, const QString& card, const QString& name) {
        typeText(fm.cardEdit(), card);
        typeText(fm.nameEdit(), name);
        typeText(fm.idNumberEdit(), QStringLiteral("110"));
        typeText(fm.contactEdit(), QStringLiteral("139"));
        typeText(fm.addressEdit(), QStringLiteral("武汉"));
        typeText(fm.remarkEdit(), QStringLiteral("备注"));
        fm.unitBox()->setEditText(QStringLiteral("财务部"));
    }
    qint64 feeRows(const QString& card, const QString& name, Money fee) {
        return count(QStringLiteral("收入记录"),
                     QStringLiteral("项目 = ? and 会员卡号 = ? and 会员姓名 = ? and 金额 = ? "
                                    "and 管理员 = ?"),
                     {QStringLiteral("开户费"), card, name, QVariant::fromValue(fee),
                      QStringLiteral("店长")});
    }
};
SHOP_ON_SQLITE(THyAddFmTest);

TEST_P(THyAddFmTest, OnlyTheWalkInTypeLeavesTheChoiceEmptyAndTheTypeRequired) {
    THyAddFm fm(login);
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("会员添加"));
    EXPECT_TRUE(prompts->shown().isEmpty());
    EXPECT_EQ(fm.typeBox()->count(), 0);
    EXPECT_TRUE(fm.saveButton()->isEnabled());
    EXPECT_EQ(fm.feeLabel()->text(), QStringLiteral("开户费:"));
    EXPECT_EQ(fm.sexBox()->currentText(), QStringLiteral("男"));
    EXPECT_EQ(fm.expiryEdit()->date(), QDate(2500, 1, 1));
    EXPECT_FALSE(fm.clearAfterSaveBox()->isChecked());
    fill(fm, QStringLiteral("1201"), QStringLiteral("张三"));
    fm.saveButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("字体加重的项目必须填写!")});
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
    // the required fields carry bold labels, the others do not
    QStringList bold;
    for (QLabel* label : fm.findChildren<QLabel*>()) {
        if (label->font().bold())
            bold << label->text();
    }
    bold.sort();
    EXPECT_EQ(bold, (QStringList{QStringLiteral("会员卡号:"), QStringLiteral("会员姓名:"),
                                 QStringLiteral("会员类型:")}))
        << bold.join(u',').toStdString();
}

TEST_P(THyAddFmTest, NoMemberTypeAtAllDisablesSave) {
    execOk(QStringLiteral("delete from 会员类型"));
    THyAddFm fm(login);
    EXPECT_EQ(prompts->texts(),
              QStringList{QStringLiteral("没有 会员类型,不能添加会员,请先设置好!")});
    EXPECT_FALSE(fm.saveButton()->isEnabled());
}

TEST_P(THyAddFmTest, FeeFollowsTheTypeAndAnUnknownTypeKeepsTheLastFee) {
    addType(QStringLiteral("金卡"), "50");
    addType(QStringLiteral("普通"), "0");
    THyAddFm fm(login);
    ASSERT_EQ(fm.typeBox()->count(), 2);
    fm.typeBox()->setCurrentIndex(fm.typeBox()->findText(QStringLiteral("金卡")));
    EXPECT_EQ(fm.feeLabel()->text(), QStringLiteral("开户费: 50 元"));
    fm.typeBox()->setEditText(QString());
    typeText(fm.typeBox()->lineEdit(), QStringLiteral("不存在"));
    EXPECT_EQ(fm.feeLabel()->text(), QStringLiteral("开户费: 50 元"));
    fill(fm, QStringLiteral(" 1201 "), QStringLiteral("张三"));
    fm.saveButton()->click();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("完成!")});
    EXPECT_EQ(count(QStringLiteral("会员库"),
                    QStringLiteral("会员卡号 = ? and 会员类型 = ? and 单位部门 = ? and 状态 = ? "
                                   "and 登记人 = ? and 卡内金额 = ? and 有效期 = ?"),
                    {QStringLiteral("1201"), QStringLiteral("不存在"), QStringLiteral("财务部"),
                     QStringLiteral("正常"), QStringLiteral("店长"), QVariant::fromValue(Money()),
                     QStringLiteral("2500-01-01 00:00:00")}),
              1);
    EXPECT_EQ(feeRows(QStringLiteral("1201"), QStringLiteral("张三"), Money::fromInt(50)), 1);
    // without "保存后清空" the entries stay: saving again is refused by the key
    prompts->clear();
    fm.saveButton()->click();
    ASSERT_EQ(prompts->shown().size(), 1);
    EXPECT_TRUE(prompts->shown()[0].text.startsWith(QStringLiteral("保存失败\n")))
        << prompts->shown()[0].text.toStdString();
    EXPECT_GT(prompts->shown()[0].text.size(), QStringLiteral("保存失败\n").size());
    EXPECT_EQ(prompts->shown()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(count(QStringLiteral("会员库")), 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), 1);

    // a type with fee 0 still books the fee row
    fm.cardEdit()->setText(QStringLiteral("1202"));
    fm.typeBox()->setCurrentIndex(fm.typeBox()->findText(QStringLiteral("普通")));
    EXPECT_EQ(fm.feeLabel()->text(), QStringLiteral("开户费: 0 元"));
    fm.saveButton()->click();
    EXPECT_EQ(feeRows(QStringLiteral("1202"), QStringLiteral("张三"), Money()), 1);
}

TEST_P(THyAddFmTest, ClearAfterSaveEntersTwoMembersOfOneKind) {
    addType(QStringLiteral("银卡"), "20");
    execOk(QStringLiteral("insert into 单位部门(名称) values(?)"), {QStringLiteral("技术部")});
    THyAddFm fm(login);
    EXPECT_EQ(fm.unitBox()->count(), 1);
    fm.clearAfterSaveBox()->click();
    fm.typeBox()->setCurrentIndex(0);
    fm.sexBox()->setCurrentIndex(1);
    fm.expiryEdit()->setDate(QDate(2027, 6, 30));
    fill(fm, QStringLiteral("2001"), QStringLiteral("甲"));
    fm.saveButton()->click();
    for (QLineEdit* e :
         {fm.cardEdit(), fm.nameEdit(), fm.idNumberEdit(), fm.contactEdit(), fm.addressEdit()})
        EXPECT_TRUE(e->text().isEmpty());
    EXPECT_TRUE(fm.remarkEdit()->toPlainText().isEmpty());
    EXPECT_TRUE(fm.unitBox()->currentText().isEmpty());
    EXPECT_EQ(fm.unitBox()->count(), 1) << "the work-unit choices stay";
    EXPECT_EQ(fm.typeBox()->currentText(), QStringLiteral("银卡"));
    EXPECT_EQ(fm.sexBox()->currentText(), QStringLiteral("女"));
    EXPECT_EQ(fm.expiryEdit()->date(), QDate(2027, 6, 30));
    EXPECT_EQ(fm.feeLabel()->text(), QStringLiteral("开户费: 20 元"));

    fill(fm, QStringLiteral("2002"), QStringLiteral("乙"));
    fm.saveButton()->click();
    EXPECT_EQ(prompts->texts(), (QStringList{QStringLiteral("完成!"), QStringLiteral("完成!")}));
    EXPECT_EQ(feeRows(QStringLiteral("2001"), QStringLiteral("甲"), Money::fromInt(20)), 1);
    EXPECT_EQ(feeRows(QStringLiteral("2002"), QStringLiteral("乙"), Money::fromInt(20)), 1);
    EXPECT_EQ(count(QStringLiteral("会员库"),
                    QStringLiteral("会员类型 = ? and 会员性别 = ? and 有效期 = ? and 登记日期 = ?"),
                    {QStringLiteral("银卡"), QStringLiteral("女"),
                     QStringLiteral("2027-06-30 00:00:00"), QStringLiteral("2026-05-20")}),
              2);
}

TEST_P(THyAddFmTest, TextBoxesTakeNoMoreThanTheirColumnsHold) {
    THyAddFm fm(login);
    for (QLineEdit* box : {fm.cardEdit(), fm.nameEdit(), fm.idNumberEdit(), fm.contactEdit(),
                           fm.addressEdit(), fm.unitBox()->lineEdit(), fm.typeBox()->lineEdit()}) {
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->maxLength(), 255);
    }
    typeText(fm.cardEdit(), QString(300, u'7'));
    EXPECT_EQ(fm.cardEdit()->text().size(), 255);
    // the remark box has no length of its own: a paste beyond its column is cut there
    fm.remarkEdit()->insertPlainText(QString(4100, u'备'));
    EXPECT_EQ(fm.remarkEdit()->toPlainText().size(), 4000);
}
