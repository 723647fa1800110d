#include "finance/TDataCheckFm.h"
#include "FinanceWindowFixture.h"
#include "finance/DayTotalsChart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateEdit>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

class TDataCheckFmTest : public FinanceWindowTest {};
SHOP_ON_BOTH_ENGINES(TDataCheckFmTest);

TEST_P(TDataCheckFmTest, EveryFigureOfAPreparedShopCountsTodayFromMidnightToMidnight) {
    // the period is today, 5 March: rows at its first moment count, rows at
    // the first moment of 6 March and the last second of 4 March do not
    saleItem("G1", 4, "12.5");
    saleItem("G2", 0, "30");
    rentItem("R-A", "25");
    rentItem("R-B", "39.9");
    rent("R-A", "R1", "小说", "2024-03-04 23:59:59", "20", "2024-03-05 09:00:00", "3");
    rent("R-B", "R2", "小说", "2024-03-05 00:00:00", "15.5");
    rent("R-C", "R3", "小说", "2024-03-05 10:00:00", "30", "2024-03-05 12:00:00", "1.5");
    rent("R-D", "R4", "小说", "2024-03-06 00:00:00", "8");
    income("收入", "100", "2024-03-04 23:59:59");
    income("租金", "3", "2024-03-05 00:00:00");
    income("罚款", "5", "2024-03-05 10:00:00");
    income("收入", "11", "2024-03-06 00:00:00");
    expense("房租", "120", "2024-03-05 00:00:00");
    expense("水电", "7", "2024-03-06 00:00:00");
    sale("S1", "G1", 2, "25", "2024-03-05 00:00:00");
    sale("S2", "G1", 3, "27.45", "2024-03-05 16:00:00");
    sale("S3", "G1", 1, "8", "2024-03-06 00:00:00");
    purchase("G1", 10, "80", "2024-03-04 09:00:00");
    purchase("G1", 4, "36.5", "2024-03-05 09:00:00");
    purchase("G1", 1, "1", "2024-03-06 00:00:00");
    refund("S2", "G1", 1, "9.15", "2024-03-05 17:00:00");
    refund("S2", "G1", 2, "5", "2024-03-06 00:00:00");
    TDataCheckFm fm(login);
    EXPECT_EQ(fm.windowTitle(), u("数据盘点"));
    const struct {
        const char* caption;
        const char* shown;
    } figures[] = {{"销售库记录数:", "2"}, {"销售库存总数:", "4"},      {"销售库存总金额:", "50"},
                   {"出租库记录数:", "2"}, {"出租库存总金额:", "64.9"}, {"在押押金:", "23.5"},
                   {"收入笔数:", "2"},     {"收入金额:", "8"},          {"支出笔数:", "1"},
                   {"支出金额:", "120"},   {"合计:", "-112"},           {"出租次数:", "2"},
                   {"实际收租金:", "1.5"}, {"销售次数:", "2"},          {"销售数量:", "5"},
                   {"销售金额:", "52.45"}, {"进货次数:", "1"},          {"进货数量:", "4"},
                   {"进货金额:", "36.5"},  {"退货次数:", "1"},          {"退货数量:", "1"},
                   {"退货金额:", "9.15"}};
    for (const auto& f : figures)
        EXPECT_EQ(fm.figure(u(f.caption)), u(f.shown)) << f.caption;
    ASSERT_EQ(fm.chart()->days().size(), 1);
    EXPECT_EQ(fm.chart()->days()[0].income, Money::fromInt(8));
    EXPECT_EQ(fm.chart()->days()[0].expenses, Money::fromInt(120));
    EXPECT_TRUE(prompts->shown().isEmpty()) << prompts->texts().join(u'|').toStdString();
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
    // the page holds the window's picture as shown
    QProcess images;
    images.start(u("pdfimages"), {u("-png"), dir.filePath(u("盘点.pdf")), dir.filePath(u("p"))});
    ASSERT_TRUE(images.waitForFinished(60000) && images.exitCode() == 0)
        << "pdfimages (poppler-utils) failed";
    const QImage printed =
        QImage(dir.filePath(u("p-000.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage shown = fm.grab().toImage();
    ASSERT_EQ(printed.size(), shown.size());
    int off = 0; // pixels that differ by more than the PDF's colour rounding
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x)
            off += std::abs(qGray(printed.pixel(x, y)) - qGray(shown.pixel(x, y))) > 64;
    }
    EXPECT_EQ(off, 0);
}

TEST_P(TDataCheckFmTest, TheChartsAxisLabelsAreWholeAtTheDefaultSize) {
    for (int d = 0; d < 40; ++d) {
        const QByteArray when =
            QDate(2024, 3, 5).addDays(-d).toString(u("yyyy-MM-dd 10:00:00")).toUtf8();
        income("收入", "1250.5", when.constData());
        expense("支出", d % 2 ? "300" : "12625127.7", when.constData());
    }
    TDataCheckFm fm(login);
    fm.show();
    for (int days : {1, 7, 14, 40}) {
        fm.fromPicker()->setDate(QDate(2024, 3, 6).addDays(-days));
        ASSERT_TRUE(fm.search());
        QTest::qWait(50);
        QStringList labels;
        for (const QGraphicsItem* item : fm.chart()->chart()->scene()->items())
            if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
                text && text->isVisible())
                labels << text->toPlainText();
        EXPECT_TRUE(labels.contains(days <= 7    ? u("03-05")
                                    : days <= 14 ? u("05")
                                                 : u("03-05")))
            << days << ": " << labels.join(u' ').toStdString();
        for (const QString& label : labels)
            EXPECT_FALSE(label.contains(u("...")) || label.contains(QChar(0x2026)))
                << days << " days: " << label.toStdString();
    }
}
