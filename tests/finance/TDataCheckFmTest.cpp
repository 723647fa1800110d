#include "finance/TDataCheckFm.h"
#include "FinanceWindowFixture.h"
#include "finance/DayTotalsChart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateEdit>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

class TDataCheckFmTest : public FinanceWindowTest {};
SHOP_ON_BOTH_ENGINES(TDataCheckFmTest);

TEST_P(TDataCheckFmTest, AnEmptyShopShowsZeroForEveryFigure) {
    TDataCheckFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("数据盘点"));
    const char* captions[] = {
        "销售库记录数:", "销售库存总数:", "销售库存总金额:", "出租库记录数:", "出租库存总金额:",
        "在押押金:",     "收入笔数:",     "收入金额:",       "支出笔数:",     "支出金额:",
        "合计:",         "出租次数:",     "实际收租金:",     "销售次数:",     "销售数量:",
        "销售金额:",     "进货次数:",     "进货数量:",       "进货金额:",     "退货次数:",
        "退货数量:",     "退货金额:"};
    for (const char* caption : captions)
        EXPECT_EQ(fm.figure(u(caption)), u("0")) << caption;
}

TEST_P(TDataCheckFmTest, TodaysSummaryAndSearchRecomputesOnlyThePeriod) {
    saleItem("G1", 4, "12.5");
    rentItem("R-A", "25");
    rent("R-A", "R1", "小说", "2024-03-04 10:00:00", "20", "2024-03-05 09:00:00", "3");
    rent("R-B", "R2", "小说", "2024-03-05 10:00:00", "15.5");
    income("租金", "3", "2024-03-05 09:00:00");
    income("罚款", "5", "2024-03-05 10:00:00");
    expense("房租", "120", "2024-03-05 11:00:00");
    sale("S1", "G1", 2, "25", "2024-03-05 12:00:00");
    TDataCheckFm fm(login);
    EXPECT_EQ(fm.fromPicker()->date(), QDate(2024, 3, 5));
    EXPECT_EQ(fm.toPicker()->date(), QDate(2024, 3, 6));
    EXPECT_EQ(fm.figure(u("销售库存总金额:")), u("50"));
    EXPECT_EQ(fm.figure(u("在押押金:")), u("15.5"));
    EXPECT_EQ(fm.figure(u("收入笔数:")), u("2"));
    EXPECT_EQ(fm.figure(u("收入金额:")), u("8"));
    EXPECT_EQ(fm.figure(u("支出金额:")), u("120"));
    EXPECT_EQ(fm.figure(u("合计:")), u("-112"));
    EXPECT_EQ(fm.figure(u("出租次数:")), u("1")); // R-B; R-A began yesterday
    EXPECT_EQ(fm.figure(u("实际收租金:")), u("0"));
    EXPECT_EQ(fm.figure(u("销售数量:")), u("2"));
    ASSERT_EQ(fm.chart()->days().size(), 1);
    EXPECT_EQ(fm.chart()->days()[0].expenses, Money::fromInt(120));

    // yesterday: R-A with its rent; a new catalogue row is not counted
    saleItem("G2", 10, "1");
    fm.fromPicker()->setDate(QDate(2024, 3, 4));
    fm.toPicker()->setDate(QDate(2024, 3, 5));
    QTest::mouseClick(fm.searchButton(), Qt::LeftButton);
    EXPECT_EQ(fm.figure(u("出租次数:")), u("1"));
    EXPECT_EQ(fm.figure(u("实际收租金:")), u("3"));
    EXPECT_EQ(fm.figure(u("收入金额:")), u("0"));
    EXPECT_EQ(fm.figure(u("合计:")), u("0"));
    EXPECT_EQ(fm.figure(u("销售库记录数:")), u("1"));
    EXPECT_EQ(fm.figure(u("销售库存总数:")), u("4"));
    EXPECT_TRUE(prompts->shown().isEmpty()) << prompts->texts().join(u'|').toStdString();

    // the printed picture of the window
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u("盘点.pdf")));
    fm.printTo(printer);
    EXPECT_GT(QFileInfo(dir.filePath(u("盘点.pdf"))).size(), 1000);
}
