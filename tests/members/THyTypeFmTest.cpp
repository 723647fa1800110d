#include "members/THyTypeFm.h"
#include "MemberWindowFixture.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>

class THyTypeFmTest : public MemberWindowTest {
protected:
    using Tool = ReferenceListWindow::Tool;
    QLineEdit* nameField(THyTypeFm& fm) {
        return static_cast<QLineEdit*>(fm.field(QStringLiteral("名称")));
    }
    QCheckBox* box(THyTypeFm& fm, const char* column) {
        return static_cast<QCheckBox*>(fm.field(QString::fromUtf8(column)));
    }
    QLineEdit* edit(THyTypeFm& fm, const char* column) {
        return static_cast<QLineEdit*>(fm.field(QString::fromUtf8(column)));
    }
    void expectBrowsing(THyTypeFm& fm) {
        EXPECT_FALSE(fm.isEditing());
        EXPECT_TRUE(fm.tool(Tool::Add)->isEnabled());
        EXPECT_TRUE(fm.tool(Tool::Modify)->isEnabled());
        EXPECT_TRUE(fm.tool(Tool::Delete)->isEnabled());
        EXPECT_FALSE(fm.tool(Tool::Save)->isEnabled());
        EXPECT_FALSE(fm.tool(Tool::Cancel)->isEnabled());
        EXPECT_FALSE(nameField(fm)->isEnabled());
        EXPECT_FALSE(box(fm, "免押金")->isEnabled());
        EXPECT_TRUE(fm.grid()->isEnabled());
    }
};
SHOP_ON_SQLITE(THyTypeFmTest);

TEST_P(THyTypeFmTest, TypeAddedWithOnlyANameIsStoredWithTheDefaults) {
    THyTypeFm fm(login);
    EXPECT_EQ(fm.windowTitle(), QStringLiteral("会员类型设置"));
    expectBrowsing(fm);
    fm.tool(Tool::Add)->trigger();
    EXPECT_TRUE(fm.isEditing());
    EXPECT_FALSE(fm.tool(Tool::Add)->isEnabled());
    EXPECT_TRUE(fm.tool(Tool::Save)->isEnabled());
    EXPECT_FALSE(fm.grid()->isEnabled());
    EXPECT_TRUE(nameField(fm)->isEnabled());
    EXPECT_FALSE(box(fm, "有效期限制")->isChecked());
    EXPECT_TRUE(box(fm, "归还时租金卡内扣除")->isChecked());
    EXPECT_FALSE(box(fm, "免押金")->isChecked());

    // no name: refused, still editing
    fm.tool(Tool::Save)->trigger();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("请填写完整！")});
    EXPECT_TRUE(fm.isEditing());

    typeText(nameField(fm), QStringLiteral("学生卡"));
    fm.tool(Tool::Save)->trigger();
    expectBrowsing(fm);
    auto rows = db.select(QStringLiteral("select * from 会员类型 where 名称 = ?"),
                          {QStringLiteral("学生卡")});
    ASSERT_TRUE(rows.ok() && rows.value().next());
    const Rows& row = rows.value();
    EXPECT_EQ(row.integer(QStringLiteral("可借数量")), 999);
    EXPECT_EQ(row.money(QStringLiteral("折扣")), Money::fromInt(1));
    EXPECT_EQ(row.money(QStringLiteral("开户费")), Money());
    EXPECT_FALSE(row.isNull(QStringLiteral("开户费")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("有效期限制")));
    EXPECT_TRUE(row.yesNo(QStringLiteral("归还时租金卡内扣除")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("免押金")));
    EXPECT_FALSE(row.isNull(QStringLiteral("免租金")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("免租金")));
    // the form shows the saved row as stored
    EXPECT_EQ(nameField(fm)->text(), QStringLiteral("学生卡"));
    EXPECT_EQ(edit(fm, "可借数量")->text(), QStringLiteral("999"));
    EXPECT_TRUE(box(fm, "归还时租金卡内扣除")->isChecked());

    // cancel drops a pending new row
    fm.tool(Tool::Add)->trigger();
    typeText(nameField(fm), QStringLiteral("作废"));
    fm.tool(Tool::Cancel)->trigger();
    expectBrowsing(fm);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);
}

TEST_P(THyTypeFmTest, WalkInTermsChangeButNotItsName) {
    THyTypeFm fm(login);
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("名称"), QStringLiteral("散客")));
    fm.tool(Tool::Modify)->trigger();
    EXPECT_TRUE(fm.isEditing());
    EXPECT_FALSE(nameField(fm)->isEnabled());
    EXPECT_TRUE(edit(fm, "可借数量")->isEnabled());
    EXPECT_TRUE(box(fm, "免押金")->isEnabled());
    edit(fm, "可借数量")->setText(QStringLiteral("2"));
    edit(fm, "折扣")->setText(QStringLiteral("0.85"));
    box(fm, "免押金")->click();
    fm.tool(Tool::Save)->trigger();
    EXPECT_TRUE(prompts->shown().isEmpty()) << prompts->lastText().toStdString();
    EXPECT_EQ(count(QStringLiteral("会员类型"),
                    QStringLiteral("名称 = ? and 可借数量 = 2 and 折扣 = ? and 免押金 = ?"),
                    {QStringLiteral("散客"), QVariant::fromValue(Money::fromUnits(8500)), true}),
              1);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 1);

    // another type's name can be changed
    addType(QStringLiteral("金卡"), "50");
    ASSERT_TRUE(fm.load());
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("名称"), QStringLiteral("金卡")));
    fm.tool(Tool::Modify)->trigger();
    EXPECT_TRUE(nameField(fm)->isEnabled());
    nameField(fm)->setText(QStringLiteral("钻石卡 "));
    fm.tool(Tool::Save)->trigger();
    EXPECT_EQ(count(QStringLiteral("会员类型"), QStringLiteral("名称 = ? and 开户费 = ?"),
                    {QStringLiteral("钻石卡"), QVariant::fromValue(Money::fromInt(50))}),
              1);
}

TEST_P(THyTypeFmTest, WalkInIsNeverDeletedOthersAfterTheQuestion) {
    addType(QStringLiteral("金卡"), "50");
    addMember(QStringLiteral("1"), QStringLiteral("甲")); // of type 金卡
    THyTypeFm fm(login);
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("名称"), QStringLiteral("散客")));
    fm.tool(Tool::Delete)->trigger();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("散客类型不能删除!")});
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);

    prompts->clear();
    ASSERT_TRUE(fm.grid()->locate(QStringLiteral("名称"), QStringLiteral("金卡")));
    fm.tool(Tool::Delete)->trigger(); // unanswered: No
    ASSERT_EQ(prompts->shown().size(), 1);
    EXPECT_EQ(prompts->shown()[0].kind, PromptRecorder::Kind::Question);
    EXPECT_EQ(prompts->shown()[0].text, QStringLiteral("您是否要删除\" 金卡\""));
    EXPECT_EQ(count(QStringLiteral("会员类型")), 2);

    prompts->setNextAnswer(true);
    fm.tool(Tool::Delete)->trigger();
    EXPECT_EQ(
        count(QStringLiteral("会员类型"), QStringLiteral("名称 = ?"), {QStringLiteral("金卡")}), 0);
    // its members keep the name
    EXPECT_EQ(
        count(QStringLiteral("会员库"), QStringLiteral("会员类型 = ?"), {QStringLiteral("金卡")}),
        1);
}
