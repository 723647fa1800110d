#include "finance/TShouZhiTypeFm.h"
#include "FinanceWindowFixture.h"
#include "ui/DataGrid.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

class TShouZhiTypeFmTest : public FinanceWindowTest {
protected:
    static QStringList shown(TShouZhiTypeFm& fm) {
        QStringList rows;
        DataGrid* grid = fm.grid();
        for (int r = 0; r < grid->loadedRowCount(); ++r) {
            grid->setCurrentRow(r);
            rows << grid->text(u("类型")) + u":" + grid->text(u("名称"));
        }
        return rows;
    }
};
SHOP_ON_BOTH_ENGINES(TShouZhiTypeFmTest);

TEST_P(TShouZhiTypeFmTest, TypesAreListedByKindDescendingAndAddedSilentlyOnlyWithAName) {
    addType("收入", "罚款");
    addType("支出", "房租");
    TShouZhiTypeFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("收支类型"));
    EXPECT_EQ(fm.kindBox()->currentText(), u("收入"));
    const GridModel* model = fm.grid()->model();
    const QTableView* view = fm.grid()->view();
    // 名称 left of 类型
    const int name = model->columnIndex(u("名称")), kind = model->columnIndex(u("类型"));
    EXPECT_LT(view->horizontalHeader()->visualIndex(name),
              view->horizontalHeader()->visualIndex(kind));
    EXPECT_EQ(shown(fm), (QStringList{u("收入:罚款"), u("支出:房租")}));

    typeText(fm.nameBox(), u("   "));
    fm.addTool()->trigger();
    EXPECT_EQ(count(u("收支类型")), 2);
    EXPECT_TRUE(prompts->shown().isEmpty());

    fm.nameBox()->setText(u(" 复印费 "));
    fm.kindBox()->setCurrentText(u("支出"));
    fm.addTool()->trigger();
    EXPECT_EQ(count(u("收支类型"), u("类型 = ? and 名称 = ?"), {u("支出"), u("复印费")}), 1);
    EXPECT_EQ(fm.nameBox()->text(), u(" 复印费 "));
    EXPECT_EQ(shown(fm).size(), 3);
    EXPECT_EQ(shown(fm).first(), u("收入:罚款"));
    EXPECT_TRUE(prompts->shown().isEmpty());
}

TEST_P(TShouZhiTypeFmTest, DeleteAsksByNameAndNoKeepsTheRow) {
    addType("支出", "房租");
    addType("支出", "房租");
    TShouZhiTypeFm fm(login);
    // of two equal rows the chosen one goes
    fm.grid()->setCurrentRow(1);
    const qint64 second = fm.grid()->integer(u("id"));
    prompts->setNextAnswer(true);
    fm.deleteTool()->trigger();
    EXPECT_EQ(count(u("收支类型"), u("id = ?"), {second}), 0);
    EXPECT_EQ(count(u("收支类型")), 1);
    prompts->clear();
    fm.deleteTool()->trigger(); // answered No
    EXPECT_EQ(prompts->texts(), QStringList{u("您是否要删除\" 房租\"")});
    EXPECT_EQ(prompts->shown()[0].kind, PromptRecorder::Kind::Question);
    EXPECT_EQ(count(u("收支类型")), 1);
    prompts->setNextAnswer(true);
    fm.deleteTool()->trigger();
    EXPECT_EQ(count(u("收支类型")), 0);
    EXPECT_FALSE(fm.grid()->hasCurrentRow());
    prompts->clear();
    fm.deleteTool()->trigger(); // empty list: nothing
    EXPECT_TRUE(prompts->shown().isEmpty());
}

TEST_P(TShouZhiTypeFmTest, AFailedAddSaysErrorAndAddsNothing) {
    failInsertsInto(u("收支类型"));
    TShouZhiTypeFm fm(login);
    fm.nameBox()->setText(u("罚款"));
    EXPECT_FALSE(fm.add());
    EXPECT_EQ(prompts->texts(), QStringList{u("错误")});
    EXPECT_EQ(count(u("收支类型")), 0);
}
