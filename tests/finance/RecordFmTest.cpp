#include "FinanceWindowFixture.h"
#include "finance/TInComeStatFm.h"
#include "finance/TRentDetailFm.h"
#include "finance/TSaleDetailFm.h"
#include "finance/TZhiChuStatFm.h"
#include "output/TDmFm.h"
#include "output/core/XlsxReader.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

class RecordFmTest : public FinanceWindowTest {
protected:
    // The values of column in the rows shown, sorted.
    static QStringList shown(RecordFm& fm, const char* column) {
        QStringList rows;
        DataGrid* grid = fm.grid();
        while (grid->model()->canFetchMore())
            grid->model()->fetchMore();
        for (int r = 0; r < grid->loadedRowCount(); ++r) {
            grid->setCurrentRow(r);
            rows << grid->text(u(column));
        }
        rows.sort();
        return rows;
    }
};
SHOP_ON_BOTH_ENGINES(RecordFmTest);

TEST_P(RecordFmTest, RentRecordsOpenOnItemsOutAndSearchTheReturnedChoiceWithEmptyBoxes) {
    rent("B1", "R7", "小说", "2024-03-04 10:00:00", "20");
    rent("B2", "R7", "杂志", "2024-03-04 10:00:00", "10"); // same order: two items
    rent("B3", "R5", "画册", "2024-02-01 10:00:00", "5", "2024-02-03 10:00:00", "4.5");
    TRentDetailFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("出租记录"));
    EXPECT_EQ(shown(fm, "条形码"), (QStringList{u("B1"), u("B2")}));
    EXPECT_EQ(fm.grid()->footerCount(), 2); // items, not orders
    EXPECT_EQ(fm.choiceBox()->currentText(), u("否"));
    EXPECT_EQ(fm.choiceBox()->count(), 2);
    EXPECT_EQ(fm.choiceBox()->itemText(1), u("是"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(fm.rangeBox(i)->isChecked());
        EXPECT_FALSE(fm.fromPicker(i)->isEnabled());
        EXPECT_EQ(fm.fromPicker(i)->date(), QDate(2000, 1, 1));
        EXPECT_EQ(fm.toPicker(i)->date(), QDate(2024, 3, 6));
    }
    EXPECT_EQ(fm.rangeBox(0)->text(), u("出租日期"));
    EXPECT_EQ(fm.rangeBox(1)->text(), u("归还日期"));
    EXPECT_EQ(fm.focusWidget(), fm.textBoxFor(u("条形码")));
    // hidden: py, id, 天数
    const QTableView* view = fm.grid()->view();
    EXPECT_TRUE(view->isColumnHidden(fm.grid()->model()->columnIndex(u("py"))));
    EXPECT_FALSE(view->isColumnHidden(fm.grid()->model()->columnIndex(u("实收租金"))));

    fm.choiceBox()->setCurrentIndex(1);
    fm.tool(u("查询"))->trigger();
    EXPECT_EQ(shown(fm, "条形码"), QStringList{u("B3")});
    EXPECT_EQ(fm.grid()->footerSum(u("实收租金")), Money::fromUnits(45000));

    // a backward rent-date range: its message, the list stays
    fm.rangeBox(0)->setChecked(true);
    EXPECT_TRUE(fm.fromPicker(0)->isEnabled());
    fm.fromPicker(0)->setDate(QDate(2024, 3, 2));
    fm.toPicker(0)->setDate(QDate(2024, 3, 1));
    fm.tool(u("查询"))->trigger();
    EXPECT_EQ(prompts->texts(), QStringList{u("出租日期条件不符合正常逻辑!")});
    EXPECT_EQ(shown(fm, "条形码"), QStringList{u("B3")});
}

TEST_P(RecordFmTest, IncomeEmptySearchKeepsTodaysRowsAndAFeeSearchFindsTheFees) {
    income("租金", "3", "2024-03-05 09:00:00", "C001", "张三");
    income("罚款", "5", "2024-03-05 10:00:00");
    income("罚款", "7", "2024-03-04 10:00:00");
    TInComeStatFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("收入状况统计"));
    EXPECT_EQ(fm.fromPicker(0)->date(), QDate(2024, 3, 4));
    EXPECT_EQ(fm.toPicker(0)->date(), QDate(2024, 3, 6));
    EXPECT_EQ(shown(fm, "金额"), (QStringList{u("3"), u("5")}));
    EXPECT_EQ(fm.grid()->footerSum(u("金额")), Money::fromInt(8));

    fm.tool(u("查询"))->trigger(); // nothing to search: today's rows stay
    EXPECT_EQ(shown(fm, "金额"), (QStringList{u("3"), u("5")}));
    EXPECT_TRUE(prompts->shown().isEmpty());

    typeText(fm.textBoxFor(u("会员卡号")), u("收费"));
    QTest::keyClick(fm.textBoxFor(u("会员卡号")), Qt::Key_Return);
    EXPECT_EQ(shown(fm, "金额"), (QStringList{u("5"), u("7")}));
    EXPECT_EQ(fm.grid()->footerCount(), 2);
    EXPECT_EQ(fm.grid()->footerSum(u("金额")), Money::fromInt(12));
}

TEST_P(RecordFmTest, AdjacentDateRangesAddUpToTheJoinedOne) {
    income("中午", "1", "2024-06-01 12:00:00");
    income("零点", "10", "2024-06-02 00:00:00");
    income("下午", "100", "2024-06-02 12:00:00");
    TInComeStatFm fm(login);
    fm.rangeBox(0)->setChecked(true);
    const struct {
        int from, to; // days of June
        QStringList shown;
        int sum;
    } ranges[] = {{1, 2, {u("中午")}, 1},
                  {2, 3, {u("下午"), u("零点")}, 110},
                  {1, 3, {u("下午"), u("中午"), u("零点")}, 111}};
    for (const auto& r : ranges) {
        fm.fromPicker(0)->setDate(QDate(2024, 6, r.from));
        fm.toPicker(0)->setDate(QDate(2024, 6, r.to));
        fm.tool(u("查询"))->trigger();
        EXPECT_EQ(shown(fm, "项目"), r.shown) << r.from << "-" << r.to;
        EXPECT_EQ(fm.grid()->footerSum(u("金额")), Money::fromInt(r.sum));
    }
    EXPECT_TRUE(prompts->shown().isEmpty());
}

TEST_P(RecordFmTest, AFailedSearchKeepsTheLastGoodResult) {
    expense("房租", "800", "2024-03-05 09:00:00", "房东");
    TZhiChuStatFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("支出统计"));
    EXPECT_EQ(shown(fm, "项目"), QStringList{u("房租")});
    EXPECT_EQ(fm.grid()->footerSum(u("金额")),
              Money::fromInt(800)); // the footer of the first screen
    execOk(u("alter table 支出记录 rename to 支出旧"));
    typeText(fm.textBoxFor(u("姓名")), u("房东"));
    fm.tool(u("查询"))->trigger();
    ASSERT_EQ(prompts->shown().size(), 1);
    EXPECT_EQ(prompts->shown()[0].kind, PromptRecorder::Kind::Error);
    EXPECT_EQ(shown(fm, "项目"), QStringList{u("房租")});
    EXPECT_EQ(fm.grid()->footerSum(u("金额")), Money::fromInt(800));
    execOk(u("alter table 支出旧 rename to 支出记录"));
}

TEST_P(RecordFmTest, SaleRecordsShowTheirColumnsAndExportAndPrintTheListShown) {
    sale("S1", "123", 2, "19.8", "2024-03-01 10:00:00", "李四");
    sale("S2", "456", 1, "8", "2024-03-02 10:00:00");
    TSaleDetailFm fm(login);
    const GridModel* model = fm.grid()->model();
    EXPECT_EQ(model->headerData(model->columnIndex(u("id")), Qt::Horizontal).toString(), u("ID"));
    const QHeaderView* header = fm.grid()->view()->horizontalHeader();
    EXPECT_EQ(header->visualIndex(model->columnIndex(u("id"))), 0);
    EXPECT_EQ(header->visualIndex(model->columnIndex(u("销售单号"))), 14);
    EXPECT_EQ(fm.grid()->footerCount(), 2);
    EXPECT_EQ(fm.grid()->footerSum(u("数量")), Money::fromInt(3));

    typeText(fm.textBoxFor(u("姓名")), u("李四"));
    fm.tool(u("查询"))->trigger();
    EXPECT_EQ(shown(fm, "销售单号"), QStringList{u("S1")});

    QTemporaryDir folder;
    TDmFm& dm = TDmFm::current();
    dm.exportFolder = folder.path();
    QStringList opened, previews;
    dm.openFile = [&](const QString& path) {
        opened << path;
        return true;
    };
    WindowRunner runner([&](QDialog* dialog) {
        previews << dialog->windowTitle();
        dialog->reject();
    });
    fm.tool(u("导出Excel"))->trigger();
    fm.tool(u("打印"))->trigger();
    dm.reset();
    EXPECT_TRUE(prompts->texts().isEmpty()) << prompts->texts().join(u'\n').toStdString();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].startsWith(folder.path() + u"/销售记录_")) << opened[0].toStdString();
    // the rows shown, read back: the header, then S1 with its money and date typed
    auto book = XlsxReader::open(opened[0]);
    ASSERT_TRUE(book.ok()) << book.error().toStdString();
    const auto rows = book->rows(0);
    ASSERT_TRUE(rows.ok() && rows->size() == 2) << rows.error().toStdString();
    const QVariantList& names = rows->at(0);
    auto cell = [&](const char* column) { return rows->at(1).value(names.indexOf(u(column))); };
    EXPECT_EQ(cell("销售单号"), QVariant(u("S1")));
    EXPECT_EQ(cell("合计").typeId(), QMetaType::Double);
    EXPECT_EQ(cell("合计").toDouble(), 19.8);
    EXPECT_EQ(cell("日期"), QVariant(QDateTime(QDate(2024, 3, 1), QTime(10, 0))));
    EXPECT_EQ(previews.size(), 1);
}
