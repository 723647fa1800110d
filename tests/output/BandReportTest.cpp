#include "output/BandReport.h"
#include "output/Code128Decode.h"
#include "output/ListOutput.h"
#include "output/core/Code128.h"
#include "shop-admin/core/SampleData.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString()
                      << " failed (poppler-utils installed?): " << p.errorString().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& file) {
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(run(QStringLiteral("pdfinfo"), {file}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Text as compared with a page's text: compatibility forms folded (the
// PDF maps some ideographs back to their radical forms) and blanks removed.
QString N(const QString& text) {
    QString folded = text.normalized(QString::NormalizationForm_KC);
    folded.remove(QRegularExpression(QStringLiteral("\\s")));
    return folded;
}

// Text of one page (from 1), line by line as laid out, blanks removed, so
// that column spacing does not matter.
QString pdfText(const QString& file, int page) {
    return N(run(QStringLiteral("pdftotext"),
                 {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                  QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")}));
}

ListQuery list(const QString& sql) {
    return {sql, {}, Connection::Shared};
}

} // namespace

TEST(BandLayoutTest, PrintPreviewOpensInsideTheScreenFrameIncluded) {
    struct Case {
        QRect available;
        QMargins frame;
        QRect client;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1080}, {}, {510, 40, 900, 1000}},
        {{0, 0, 1920, 1080}, {4, 32, 4, 4}, {510, 54, 900, 1000}},
        // 1366 × 768 less a panel of 40 at the top: the title bar stays below it
        {{0, 40, 1366, 728}, {4, 32, 4, 4}, {233, 72, 900, 692}},
        {{1920, 0, 800, 600}, {2, 2, 2, 2}, {1922, 2, 796, 596}},
    };
    for (const Case& c : cases) {
        const QRect client = ListOutput::previewGeometry(c.available, c.frame);
        EXPECT_EQ(client, c.client) << c.available.height();
        EXPECT_TRUE(c.available.contains(client.marginsAdded(c.frame)));
    }
}

TEST(BandLayoutTest, LabelsFollowOneAnotherAtEightyUnits) {
    const auto places = BandReport::labelLayout(LabelKind::Items, 30);
    ASSERT_EQ(places.size(), 30);
    const int perPage = int((BandReport::PageHeight - BandReport::Top - BandReport::Bottom) / 80);
    EXPECT_EQ(perPage, 13);
    for (int i = 0; i < 30; ++i) {
        const int page = i / perPage;
        const int slot = i % perPage;
        EXPECT_EQ(places[i].place.page, page) << i;
        EXPECT_DOUBLE_EQ(places[i].place.y, BandReport::Top + 80.0 * slot) << i;
        EXPECT_DOUBLE_EQ(places[i].text.top(), places[i].place.y);
        EXPECT_DOUBLE_EQ(places[i].text.height(), 20);
        EXPECT_DOUBLE_EQ(places[i].text.width(), 152);
        EXPECT_DOUBLE_EQ(places[i].barcode.top(), places[i].place.y + 20);
        EXPECT_EQ(places[i].barcode.size(), QSizeF(123, 44));
        EXPECT_LE(places[i].place.y + 80, BandReport::PageHeight - BandReport::Bottom);
    }
    const auto cards = BandReport::labelLayout(LabelKind::MemberCards, 2);
    EXPECT_DOUBLE_EQ(cards[0].text.width(), 132);
    EXPECT_DOUBLE_EQ(cards[1].place.y - cards[0].place.y, 80);
    // the band is 757 wide in the middle of an A4 sheet
    EXPECT_NEAR(BandReport::Left * 2 + BandReport::BandWidth, 793.7, 0.1);
    EXPECT_NEAR(BandReport::PageHeight, 1122.5, 0.1);
}

TEST(BandLayoutTest, BarsFitTheBoxButStayReadable) {
    // two characters: 57 modules of 2
    EXPECT_DOUBLE_EQ(BandReport::moduleWidth(Code128::encodeA(QStringLiteral("12"))->modules), 2);
    // a four-digit card number: 79 modules squeezed into 123
    EXPECT_DOUBLE_EQ(BandReport::moduleWidth(79), 123.0 / 79);
    // a long barcode is not made thinner than 0.2 mm
    EXPECT_DOUBLE_EQ(BandReport::moduleWidth(35 + 11 * 20), 0.75);
}

TEST(BandLayoutTest, EveryTemplateFitsTheBand) {
    for (ReportTemplate which : allListTemplates()) {
        const ListTemplate& t = listTemplate(which);
        int width = 0;
        for (const ReportColumn& c : t.columns)
            width += c.width;
        EXPECT_LE(width, 757) << t.name.toStdString();
        EXPECT_GE(t.columns.size(), 5);
    }
    const auto& rent = listTemplate(ReportTemplate::RentRecords).columns;
    EXPECT_EQ(rent[6].title, QStringLiteral("收租金"));
    EXPECT_EQ(rent[6].field, QStringLiteral("实收租金"));
    EXPECT_EQ(rent[6].width, 60);
    const auto& members = listTemplate(ReportTemplate::Members).columns;
    EXPECT_EQ(members[2].title, QStringLiteral("性别"));
    EXPECT_EQ(members[2].field, QStringLiteral("会员性别"));
    EXPECT_EQ(members[7].width, 240);
}

class BandReportTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(dir.isValid());
        // SHOP_KEEP_TEST_FILES=1 keeps the PDFs for looking at them
        dir.setAutoRemove(qEnvironmentVariableIsEmpty("SHOP_KEEP_TEST_FILES"));
    }
    void addMembers(int n, const QString& contact = QStringLiteral("13800000000")) {
        for (int i = 0; i < n; ++i)
            execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员性别,会员类型,卡内金额,"
                                  "会员积分,状态,联系方式) values(?,?,?,?,?,?,?,?)"),
                   {QStringLiteral("HY%1").arg(i + 1, 4, 10, QLatin1Char('0')),
                    QStringLiteral("会员%1").arg(i + 1), QStringLiteral("男"),
                    QStringLiteral("散客"), QVariant::fromValue(Money::fromUnits(125000)),
                    QVariant::fromValue(Money::fromInt(3)), QStringLiteral("正常"), contact});
    }
    QString pdf(const QString& name = QStringLiteral("r.pdf")) const {
        return dir.path() + u'/' + name;
    }
    QTemporaryDir dir;
};
SHOP_ON_BOTH_ENGINES(BandReportTest);

TEST_P(BandReportTest, EveryListTemplatePrintsItsTitlesAndValues) {
    // one row in each record table, with what the lists show
    const QDateTime when(QDate(2026, 3, 4), QTime(9, 15, 0));
    const QVariant m = QVariant::fromValue(*Money::parse(u"12.5"));
    execOk(QStringLiteral("insert into 出租库(条形码,商品名称,商品类型,存放位置,定价,状态) "
                          "values(?,?,?,?,?,?)"),
           {QStringLiteral("R001"), QStringLiteral("三体"), QStringLiteral("普通"),
            QStringLiteral("店内"), m, QStringLiteral("待租")});
    execOk(QStringLiteral("insert into 销售库(条形码,商品名称,商品类型,存放位置,定价,库存) "
                          "values(?,?,?,?,?,?)"),
           {QStringLiteral("S001"), QStringLiteral("活着"), QStringLiteral("普通"),
            QStringLiteral("店内"), m, 7});
    addMembers(1);
    execOk(
        QStringLiteral("insert into 出租记录(出租单号,条形码,商品名称,会员卡号,会员姓名,出租日期,"
                       "已还,天数,实收租金,押金) values(?,?,?,?,?,?,?,?,?,?)"),
        {QStringLiteral("CZ0001"), QStringLiteral("R001"), QStringLiteral("三体"),
         QStringLiteral("HY0001"), QStringLiteral("会员1"), when, QStringLiteral("是"), 3,
         QVariant::fromValue(*Money::parse(u"4.5")), QVariant::fromValue(Money::fromInt(10))});
    execOk(QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员) "
                          "values(?,?,?,?,?,?)"),
           {QStringLiteral("租金"), m, when, QStringLiteral("HY0001"), QStringLiteral("会员1"),
            QStringLiteral("超级管理员")});
    execOk(QStringLiteral("insert into 销售记录(条形码,商品名称,定价,销售单价,折扣,数量,合计,日期,"
                          "管理员) values(?,?,?,?,?,?,?,?,?)"),
           {QStringLiteral("S001"), QStringLiteral("活着"), m, m,
            QVariant::fromValue(*Money::parse(u"0.85")), 2,
            QVariant::fromValue(*Money::parse(u"21.25")), when, QStringLiteral("超级管理员")});
    execOk(QStringLiteral("insert into 进货记录(条形码,商品名称,定价,进货数量,进货单价,折扣,总金额,"
                          "进货日期,供应商) values(?,?,?,?,?,?,?,?,?)"),
           {QStringLiteral("S001"), QStringLiteral("活着"), m, 5, m,
            QVariant::fromValue(Money::fromInt(1)), QVariant::fromValue(*Money::parse(u"62.5")),
            when, QStringLiteral("新华书店")});
    execOk(
        QStringLiteral("insert into 支出记录(项目,金额,日期,说明,姓名,管理员) values(?,?,?,?,?,?)"),
        {QStringLiteral("房租"), m, when, QStringLiteral("三月"), QStringLiteral("房东"),
         QStringLiteral("超级管理员")});
    execOk(QStringLiteral("insert into 退货记录(条形码,商品名称,姓名,退还金额,数量,退还方式,日期,"
                          "管理员) values(?,?,?,?,?,?,?,?)"),
           {QStringLiteral("S001"), QStringLiteral("活着"), QStringLiteral("顾客"), m, 1,
            QStringLiteral("现金"), when, QStringLiteral("超级管理员")});
    execOk(QStringLiteral("insert into 管理员日志(事件,日期,管理员,说明) values(?,?,?,?)"),
           {QStringLiteral("修改库存"), when, QStringLiteral("超级管理员"),
            QStringLiteral("库存改为7")});

    const QHash<ReportTemplate, QPair<QString, QStringList>> expected = {
        {ReportTemplate::RentCatalogue, {"出租库", {"R001", "三体", "12.5", "待租"}}},
        {ReportTemplate::SaleCatalogue, {"销售库", {"S001", "活着", "12.5", "7"}}},
        {ReportTemplate::Members, {"会员库", {"HY0001", "会员1", "男", "12.5", "3", "正常"}}},
        {ReportTemplate::RentRecords,
         {"出租记录", {"R001", "HY0001", "2026-03-04", "09:15:00", "4.5", "10", "CZ0001"}}},
        {ReportTemplate::Income,
         {"收入记录", {"租金", "12.5", "2026-03-04", "09:15:00", "超级管理员"}}},
        {ReportTemplate::SaleRecords, {"销售记录", {"0.85", "21.25", "2026-03-04", "09:15:00"}}},
        {ReportTemplate::PurchaseRecords, {"进货记录", {"62.5", "新华书店", "5"}}},
        {ReportTemplate::Expenses, {"支出记录", {"房租", "三月", "房东"}}},
        {ReportTemplate::Refunds, {"退货记录", {"顾客", "现金", "活着"}}},
        {ReportTemplate::AdminLog, {"管理员日志", {"修改库存", "库存改为7"}}},
    };
    for (ReportTemplate which : allListTemplates()) {
        const auto& [table, values] = expected[which];
        const QString file = pdf(table + QStringLiteral(".pdf"));
        auto done = BandReport::listToPdf(file, which, list("select * from " + table));
        ASSERT_TRUE(done.ok()) << table.toStdString() << done.error().toStdString();
        EXPECT_EQ(done->rows, 1);
        EXPECT_EQ(done->pages, 1);
        EXPECT_EQ(pdfPages(file), 1) << table.toStdString();
        const QString text = pdfText(file, 1);
        QString titles;
        for (const ReportColumn& c : listTemplate(which).columns)
            titles += c.title;
        EXPECT_TRUE(text.startsWith(N(titles))) << table.toStdString() << "\n"
                                                << text.toStdString();
        for (const QString& v : values)
            EXPECT_TRUE(text.contains(N(v)))
                << table.toStdString() << " " << v.toStdString() << "\n"
                << text.toStdString();
    }
}

TEST_P(BandReportTest, LongListRepeatsTheHeaderOnEveryPage) {
    addMembers(80);
    const QString file = pdf();
    auto done =
        BandReport::listToPdf(file, ReportTemplate::Members,
                              list(QStringLiteral("select * from 会员库 order by 会员卡号")));
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 80);
    EXPECT_EQ(done->pages, 2);
    ASSERT_EQ(pdfPages(file), 2);
    const QString header =
        N(QStringLiteral("会员卡号会员姓名性别会员类型卡内金额积分状态联系方式"));
    const QString first = pdfText(file, 1);
    const QString second = pdfText(file, 2);
    EXPECT_TRUE(first.startsWith(header + QStringLiteral("HY0001"))) << first.toStdString();
    EXPECT_TRUE(second.startsWith(header)) << second.toStdString();
    // rows in the list's order, each once: 51 on the first page
    EXPECT_TRUE(first.contains(QStringLiteral("HY0051")));
    EXPECT_FALSE(first.contains(QStringLiteral("HY0052")));
    EXPECT_TRUE(second.contains(QStringLiteral("HY0052")));
    EXPECT_TRUE(second.endsWith(QStringLiteral("13800000000")));
    EXPECT_TRUE(second.contains(QStringLiteral("HY0080")));
}

TEST_P(BandReportTest, RowsGrowForWrappedValuesAndEmptyListPrintsTheHeader) {
    addMembers(40, QStringLiteral("北京市海淀区中关村南大街五号院七号楼三单元一零一室，"
                                  "工作日晚上七点以后联系，电话13800000000"));
    auto done = BandReport::listToPdf(pdf(), ReportTemplate::Members,
                                      list(QStringLiteral("select * from 会员库")));
    ASSERT_TRUE(done.ok());
    EXPECT_GE(done->pages, 2); // 40 rows of 20 would fit on one page
    EXPECT_TRUE(pdfText(pdf(), 1).contains(N(QStringLiteral("工作日晚上七点"))));

    auto empty = BandReport::listToPdf(pdf(QStringLiteral("e.pdf")), ReportTemplate::Members,
                                       list(QStringLiteral("select * from 会员库 where 1 = 0")));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty->rows, 0);
    EXPECT_EQ(pdfPages(pdf(QStringLiteral("e.pdf"))), 1);
    EXPECT_EQ(pdfText(pdf(QStringLiteral("e.pdf")), 1),
              N(QStringLiteral("会员卡号会员姓名性别会员类型卡内金额积分状态联系方式")));
}

TEST_P(BandReportTest, CardLabelsOnePerRowWithNotesForWhatCannotBeBarred) {
    addMembers(14);
    execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)"),
           {QStringLiteral("hy-lower"), QStringLiteral("小写卡")});
    execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)"),
           {QStringLiteral("NONAME1"), QString()});
    const QString file = pdf();
    auto done =
        BandReport::labelsToPdf(file, LabelKind::MemberCards,
                                list(QStringLiteral("select * from 会员库 order by 会员卡号")));
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 16);
    EXPECT_EQ(done->pages, 2);
    ASSERT_EQ(pdfPages(file), 2);
    const QString first = pdfText(file, 1);
    EXPECT_TRUE(first.startsWith(QStringLiteral("会员1HY0001会员2HY0002"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("会员13HY0013")));
    const QString second = pdfText(file, 2);
    EXPECT_TRUE(second.startsWith(QStringLiteral("会员14HY0014"))) << second.toStdString();
    // an empty name still gets the card's barcode
    EXPECT_TRUE(second.contains(QStringLiteral("NONAME1")));
    // a lower-case card number gets a note instead of bars
    EXPECT_TRUE(second.contains(
        N(QStringLiteral("小写卡hy-lower条码中的字符“h”不能用Code128A编码，不能打印条码"))))
        << second.toStdString();

    // the same copy twice in a filtered list: two labels
    execOk(QStringLiteral("insert into 出租库(条形码,商品名称) values(?,?)"),
           {QStringLiteral("9787020002207"), QStringLiteral("红楼梦")});
    auto items = BandReport::labelsToPdf(
        pdf(QStringLiteral("i.pdf")), LabelKind::Items,
        list(QStringLiteral("select * from 出租库 union all select * from 出租库")));
    ASSERT_TRUE(items.ok()) << items.error().toStdString();
    EXPECT_EQ(items->rows, 2);
    EXPECT_EQ(pdfText(pdf(QStringLiteral("i.pdf")), 1),
              QStringLiteral("红楼梦9787020002207红楼梦9787020002207"));
}

TEST_P(BandReportTest, PreviewShowsTheListAndErrorsAreReported) {
    addMembers(3);
    int pages = -1;
    QString title;
    // one stand-in records the messages and drives the previews
    PromptRecorder prompts([&](QDialog* dialog) {
        dialog->show();
        auto* widget = dialog->findChild<QPrintPreviewWidget*>();
        pages = widget ? widget->pageCount() : -1;
        title = dialog->windowTitle();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        // the whole window, its frame included, inside the screen's free area
        EXPECT_TRUE(dialog->screen()->availableGeometry().contains(dialog->frameGeometry()))
            << dialog->frameGeometry().width() << "×" << dialog->frameGeometry().height();
        static int shown = 0;
        EXPECT_TRUE(
            dialog->grab().save(dir.path() + QStringLiteral("/preview%1.png").arg(++shown)));
        dialog->close();
    });
    ListOutput::printList(nullptr, ReportTemplate::Members,
                          list(QStringLiteral("select * from 会员库")));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(title, QStringLiteral("会员列表 - 打印预览"));
    EXPECT_TRUE(prompts.shown().isEmpty());
    ListOutput::printLabels(nullptr, LabelKind::MemberCards,
                            list(QStringLiteral("select * from 会员库")));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(title, QStringLiteral("会员卡条码 - 打印预览"));

    ListOutput::printList(nullptr, ReportTemplate::Members,
                          list(QStringLiteral("select * from 没有的表")));
    ASSERT_FALSE(prompts.shown().isEmpty());
    EXPECT_EQ(prompts.shown()[0].caption, QStringLiteral("错误"));
    EXPECT_TRUE(prompts.shown()[0].text.startsWith(QStringLiteral("打印失败：")))
        << prompts.shown()[0].text.toStdString();
}

TEST_P(BandReportTest, SampleShopMemberListAndCardLabels) {
    ASSERT_TRUE(SampleData::fill(db).ok());
    const ListQuery members = list(QStringLiteral("select * from 会员库 order by 会员卡号"));
    auto printed =
        BandReport::listToPdf(pdf(QStringLiteral("members.pdf")), ReportTemplate::Members, members);
    ASSERT_TRUE(printed.ok()) << printed.error().toStdString();
    EXPECT_EQ(printed->rows, 4);
    const QString text = pdfText(pdf(QStringLiteral("members.pdf")), 1);
    EXPECT_TRUE(text.contains(N(QStringLiteral("1002李娜女银卡会员120.5230正常13800001002"))))
        << text.toStdString();
    auto labels =
        BandReport::labelsToPdf(pdf(QStringLiteral("cards.pdf")), LabelKind::MemberCards, members);
    ASSERT_TRUE(labels.ok()) << labels.error().toStdString();
    EXPECT_EQ(pdfText(pdf(QStringLiteral("cards.pdf")), 1),
              N(QStringLiteral("张伟1001李娜1002王芳1003刘洋1004")));
    auto items = BandReport::labelsToPdf(pdf(QStringLiteral("items.pdf")), LabelKind::Items,
                                         list(QStringLiteral("select * from 出租库")));
    ASSERT_TRUE(items.ok());
    EXPECT_EQ(items->rows, 8);
}

// Bars as printed: the PDF rasterised at 600 dpi, one pixel row across the
// bars of each label, widths measured and read back like a scanner does.
TEST_P(BandReportTest, PrintedBarsScanBackToTheValue) {
    const QStringList values = {QStringLiteral("1001"), QStringLiteral("9787020002207"),
                                QStringLiteral("HY-0042/A")};
    for (const QString& v : values)
        execOk(QStringLiteral("insert into 出租库(条形码,商品名称) values(?,?)"),
               {v, QStringLiteral("书")});
    auto done = BandReport::labelsToPdf(pdf(), LabelKind::Items,
                                        list(QStringLiteral("select * from 出租库")));
    ASSERT_TRUE(done.ok());
    constexpr int Dpi = 600;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-f"), QStringLiteral("1"),
         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-W"), QStringLiteral("1600"),
         QStringLiteral("-H"), QStringLiteral("2000"), QStringLiteral("-gray"),
         QStringLiteral("-png"), pdf(), dir.path() + "/page"});
    const QImage page(dir.path() + "/page-1.png");
    ASSERT_FALSE(page.isNull());
    const auto places = BandReport::labelLayout(LabelKind::Items, values.size());
    for (int i = 0; i < values.size(); ++i) {
        const int y = int((places[i].barcode.top() + 10) * Dpi / 96);
        QList<int> runs;
        bool dark = false;
        for (int x = 0; x < page.width(); ++x) {
            const bool d = qGray(page.pixel(x, y)) < 128;
            if (runs.isEmpty() && !d)
                continue;
            if (runs.isEmpty() || d != dark)
                runs << 0;
            dark = d;
            ++runs.last();
        }
        if (!runs.isEmpty() && !dark)
            runs.removeLast(); // the paper after the stop character
        ASSERT_EQ((runs.size() - 1) % 6, 0) << values[i].toStdString();
        const int modules = 11 * ((runs.size() - 1) / 6) + 2;
        double span = 0;
        for (int r : runs)
            span += r;
        QList<int> widths;
        for (int r : runs)
            widths << qRound(r / (span / modules));
        const auto read = decode(widths);
        ASSERT_TRUE(read.has_value()) << values[i].toStdString();
        EXPECT_EQ(*read, values[i]);
        // a module is at least 0.2 mm on paper
        EXPECT_GE(span / modules, 0.19 / 25.4 * Dpi);
    }
}
