#include "catalogue/TMediumFm.h"
#include "catalogue/TPlaceFm.h"
#include "catalogue/TProvideComFm.h"
#include "catalogue/TRentAddFm.h"
#include "catalogue/TSpTypeFm.h"
#include "support/WindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

using Tool = ReferenceListWindow::Tool;

QLineEdit* box(const ReferenceListWindow& w, const char* column) {
    return qobject_cast<QLineEdit*>(w.field(QString::fromUtf8(column)));
}

void fill(const ReferenceListWindow& w, const QList<QPair<const char*, QString>>& values) {
    for (const auto& [column, text] : values) {
        box(w, column)->clear();
        typeInto(box(w, column), text);
    }
}

QStringList choices(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class ReferenceWindowsTest : public WindowTest {};
SHOP_ON_BOTH_ENGINES(ReferenceWindowsTest);

TEST_P(ReferenceWindowsTest, GoodsTypesNeedAllThreeEntriesAndKeepTheOrdinaryType) {
    TSpTypeFm w(login);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("商品类型设置"));
    EXPECT_FALSE(box(w, "名称")->isEnabled());
    w.tool(Tool::Add)->trigger();
    fill(w, {{"名称", QStringLiteral("漫画")}, {"每日租金", QStringLiteral("1.5")}});
    w.tool(Tool::Save)->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("请填写完整！"));
    EXPECT_TRUE(w.isEditing());
    for (const char* column : {"名称", "每日租金", "押金"})
        EXPECT_TRUE(box(w, column)->isEnabled()) << column;
    EXPECT_FALSE(w.tool(Tool::Add)->isEnabled());
    EXPECT_TRUE(w.tool(Tool::Cancel)->isEnabled());

    fill(w, {{"押金", QStringLiteral("20")}});
    w.tool(Tool::Save)->trigger();
    EXPECT_FALSE(w.isEditing());
    EXPECT_FALSE(box(w, "名称")->isEnabled());
    EXPECT_EQ(count(QStringLiteral("商品类型"),
                    QStringLiteral("名称 = ? and 每日租金 = ? and 押金 = ?"),
                    {QStringLiteral("漫画"), QVariant::fromValue(*Money::parse(u"1.5")),
                     QVariant::fromValue(Money::fromInt(20))}),
              1);

    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("普通")));
    prompts->clear();
    w.tool(Tool::Delete)->trigger();
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("(普通)不能删除！")});
    // nor can it be renamed, to be deleted under another name
    w.tool(Tool::Modify)->trigger();
    fill(w, {{"名称", QStringLiteral("旧普通")}});
    w.tool(Tool::Save)->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("(普通)不能改名！"));
    w.tool(Tool::Cancel)->trigger();
    EXPECT_EQ(
        count(QStringLiteral("商品类型"), QStringLiteral("名称 = ?"), {QStringLiteral("普通")}), 1);
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("漫画")));
    prompts->setNextAnswer(true);
    w.tool(Tool::Delete)->trigger();
    EXPECT_EQ(prompts->lastText(), QStringLiteral("您是否要删除\" 漫画\""));
    EXPECT_EQ(count(QStringLiteral("商品类型")), 1);
}

TEST_P(ReferenceWindowsTest, BrowsingTheGoodsTypesWhileEditingSavesTheEditedRow) {
    execOk(QStringLiteral("insert into 商品类型(名称,每日租金,押金) values(?,?,?)"),
           {QStringLiteral("漫画"), QVariant::fromValue(Money::fromInt(1)),
            QVariant::fromValue(Money::fromInt(5))});
    TSpTypeFm w(login);
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("漫画")));
    w.tool(Tool::Modify)->trigger();
    fill(w, {{"押金", QStringLiteral("8")}});
    EXPECT_TRUE(w.grid()->view()->isEnabled());
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("普通")));
    EXPECT_EQ(box(w, "押金")->text(), QStringLiteral("8"));
    w.tool(Tool::Save)->trigger();
    EXPECT_EQ(count(QStringLiteral("商品类型"), QStringLiteral("名称 = ? and 押金 = ?"),
                    {QStringLiteral("漫画"), QVariant::fromValue(Money::fromInt(8))}),
              1);
    EXPECT_EQ(count(QStringLiteral("商品类型"), QStringLiteral("名称 = ? and 押金 = ?"),
                    {QStringLiteral("普通"), QVariant::fromValue(Money::fromInt(10))}),
              1);
}

TEST_P(ReferenceWindowsTest, TheLastLocationOrMediumStays) {
    for (int which = 0; which < 2; ++which) {
        std::unique_ptr<ReferenceListWindow> w;
        if (which == 0)
            w = std::make_unique<TPlaceFm>(login);
        else
            w = std::make_unique<TMediumFm>(login);
        const QString table = w->table();
        prompts->clear();
        w->tool(Tool::Delete)->trigger();
        EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("至少留有一个！！")}) << which;
        EXPECT_EQ(count(table), 1);

        w->tool(Tool::Add)->trigger();
        w->tool(Tool::Save)->trigger();
        EXPECT_EQ(prompts->lastText(), QStringLiteral("请填写完整！"));
        fill(*w, {{"名称", QStringLiteral("二号柜")}});
        w->tool(Tool::Save)->trigger();
        ASSERT_EQ(count(table), 2);
        // with two, the question is asked
        ASSERT_TRUE(w->grid()->setCurrentRow(0));
        prompts->setNextAnswer(true);
        w->tool(Tool::Delete)->trigger();
        EXPECT_TRUE(prompts->lastText().startsWith(QStringLiteral("您是否要删除\" ")));
        EXPECT_EQ(count(table), 1);
    }
    EXPECT_EQ(TPlaceFm(login).windowTitle(), QStringLiteral("存放位置名设置"));
}

TEST_P(ReferenceWindowsTest, ADeletedLocationStaysOnItsCopiesAndLeavesTheChoices) {
    execOk(QStringLiteral("insert into 存放位置(名称) values(?)"), {QStringLiteral("二号柜")});
    execOk(QStringLiteral("insert into 出租库(条形码,商品名称,存放位置) values(?,?,?)"),
           {QStringLiteral("A1"), QStringLiteral("书"), QStringLiteral("店内")});
    TPlaceFm w(login);
    ASSERT_TRUE(w.grid()->locate(QStringLiteral("名称"), QStringLiteral("店内")));
    prompts->setNextAnswer(true);
    w.tool(Tool::Delete)->trigger();
    EXPECT_EQ(
        count(QStringLiteral("出租库"), QStringLiteral("存放位置 = ?"), {QStringLiteral("店内")}),
        1);
    TRentAddFm add(login);
    EXPECT_EQ(choices(add.placeBox()), QStringList{QStringLiteral("二号柜")});
}

TEST_P(ReferenceWindowsTest, SuppliersNeedANameOweZeroByDefaultAndMayRepeat) {
    TProvideComFm w(login);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("供应商信息"));
    for (int i = 0; i < 2; ++i) {
        w.tool(Tool::Add)->trigger();
        EXPECT_FALSE(w.grid()->view()->isEnabled());
        fill(w, {{"联系人", QStringLiteral("王五")}});
        w.tool(Tool::Save)->trigger();
        EXPECT_EQ(prompts->lastText(), QStringLiteral("请填写名称！"));
        fill(w, {{"名称", QStringLiteral("新华书店")}});
        w.tool(Tool::Save)->trigger();
        EXPECT_FALSE(w.isEditing());
    }
    EXPECT_TRUE(w.grid()->view()->isEnabled());
    EXPECT_EQ(count(QStringLiteral("供应商"), QStringLiteral("名称 = ? and 所欠货款 = ?"),
                    {QStringLiteral("新华书店"), QVariant::fromValue(Money())}),
              2);
    EXPECT_EQ(w.grid()->text(QStringLiteral("所欠货款")), QStringLiteral("0"));
    TRentAddFm add(login);
    EXPECT_EQ(choices(add.supplierBox()),
              (QStringList{QStringLiteral("新华书店"), QStringLiteral("新华书店")}));
}
