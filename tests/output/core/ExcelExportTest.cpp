#include "ExcelFixture.h"

SHOP_ON_BOTH_ENGINES(ExcelExportTest);

TEST_P(ExcelExportTest, HeaderIsTheColumnNamesAndCellsAreTyped) {
    auto done = ExcelExport::ExportQueryToExcel(members(), file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 3);
    EXPECT_FALSE(done->cancelled);
    const auto rows = readBack(file());
    const QStringList columns = db.columns(QStringLiteral("会员库"));
    ASSERT_EQ(columns.size(), 18);
    ASSERT_EQ(rows.size(), 4);
    ASSERT_EQ(rows[0].size(), columns.size());
    for (int i = 0; i < columns.size(); ++i)
        EXPECT_EQ(typed(rows[0][i]), "QString " + columns[i].toStdString());
    auto cell = [&](const char* column, int row) {
        return typed(cellAt(rows, row - 1, int(columns.indexOf(QString::fromUtf8(column)))));
    };
    // text stays text, leading zeros included
    EXPECT_EQ(cell("会员卡号", 2), "QString 0001");
    EXPECT_EQ(cell("会员姓名", 3), "QString 李四");
    // money as numbers, to the ten-thousandth
    EXPECT_EQ(cell("卡内金额", 2), "double 12.5");
    EXPECT_EQ(cell("卡内金额", 3), "double -0.8097");
    EXPECT_EQ(cell("卡内金额", 4), "double 0");
    EXPECT_EQ(cell("会员积分", 3), "double 3");
    // NULL amount, date and text: empty cells
    EXPECT_EQ(cell("会员积分", 2), "null");
    EXPECT_EQ(cell("登记日期", 3), "null");
    EXPECT_EQ(cell("有效期", 3), "null");
    EXPECT_EQ(cell("住址", 2), "null");
    // dates under a date format, date-times under a date-time format
    EXPECT_EQ(cell("登记日期", 2), "QDate 2024-01-05");
    EXPECT_EQ(cell("有效期", 2), typed(QDateTime(QDate(2025, 1, 5), QTime(10, 30))));
    // columns sized to content: the long address is wider than the sex column
    const QList<double> widths = columnWidths(file());
    ASSERT_EQ(widths.size(), 18);
    EXPECT_GT(widths[columns.indexOf(QStringLiteral("联系方式"))],
              widths[columns.indexOf(QStringLiteral("会员性别"))] + 20);
    EXPECT_GE(widths[columns.indexOf(QStringLiteral("有效期"))], 19);
}

TEST_P(ExcelExportTest, YesNoAsBooleansAndIntegersAsNumbers) {
    execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,有效期限制,免押金) "
                          "values(?,?,?,?,?)"),
           {QStringLiteral("金卡"), 12, QVariant::fromValue(*Money::parse(u"0.85")), true, false});
    ListQuery query{QStringLiteral("select 名称, 可借数量, 折扣, 有效期限制, 免押金 from 会员类型 "
                                   "where 名称 = ?"),
                    {QStringLiteral("金卡")},
                    Connection::Shared};
    ASSERT_TRUE(ExcelExport::ExportQueryToExcel(query, file()).ok());
    const auto rows = readBack(file());
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(typed(cellAt(rows, 1, 1)), "double 12");
    EXPECT_EQ(typed(cellAt(rows, 1, 2)), "double 0.85");
    EXPECT_EQ(typed(cellAt(rows, 1, 3)), "bool true");
    EXPECT_EQ(typed(cellAt(rows, 1, 4)), "bool false");
}

TEST_P(ExcelExportTest, EmptyResultGivesTheHeaderOnly) {
    ListQuery query{
        QStringLiteral("select 会员卡号, 会员姓名, 卡内金额 from 会员库 where 会员卡号 = ?"),
        {QStringLiteral("没有这张卡")},
        Connection::Shared};
    auto done = ExcelExport::ExportQueryToExcel(query, file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 0);
    const QList<XlsxBook::Row> header = {
        {QStringLiteral("会员卡号"), QStringLiteral("会员姓名"), QStringLiteral("卡内金额")}};
    EXPECT_EQ(readBack(file()), header);
}

TEST_P(ExcelExportTest, ListReadHalfWayIsStillExportedFromTheFirstRow) {
    auto onScreen = db.select(members().sql);
    ASSERT_TRUE(onScreen.ok());
    ASSERT_TRUE(onScreen.value().next());
    ASSERT_TRUE(onScreen.value().next()); // the window stands on the second row
    auto done = ExcelExport::ExportQueryToExcel(members(), file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 3);
    const auto rows = readBack(file());
    EXPECT_EQ(typed(cellAt(rows, 1, 0)), "QString 0001");
    EXPECT_EQ(typed(cellAt(rows, 3, 0)), "QString 0003");
}

TEST_P(ExcelExportTest, CancelledOrFailedExportLeavesNoFileAndKeepsAnOlderOne) {
    for (int i = 0; i < 600; ++i)
        execOk(QStringLiteral("insert into 会员库(会员卡号) values(?)"),
               {QStringLiteral("X%1").arg(i, 4, 10, QLatin1Char('0'))});
    QFile older(file());
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("older workbook");
    older.close();
    qint64 seen = 0;
    auto done = ExcelExport::ExportQueryToExcel(members(), file(), [&](qint64 rows) {
        seen = rows;
        return rows < 512;
    });
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_TRUE(done->cancelled);
    EXPECT_EQ(seen, 512);
    QFile kept(file());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("older workbook"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.xlsx")});

    // a statement the engine refuses: an error, and no file
    auto bad = ExcelExport::ExportQueryToExcel(
        {QStringLiteral("select 没有的列 from 会员库"), {}, Connection::Shared}, file("bad.xlsx"));
    EXPECT_FALSE(bad.ok());
    EXPECT_FALSE(QFileInfo::exists(file("bad.xlsx")));
    // a folder that does not exist
    auto nowhere = ExcelExport::ExportQueryToExcel(members(), dir.path() + "/none/x.xlsx");
    EXPECT_FALSE(nowhere.ok());
    EXPECT_TRUE(nowhere.error().contains(QStringLiteral("none/x.xlsx")));
}

TEST_P(ExcelExportTest, CountRowsKeepsTheListsParameters) {
    auto n = ExcelExport::countRows({QStringLiteral("select * from 会员库 where 会员卡号 <> ? "
                                                    "order by 会员卡号;"),
                                     {QStringLiteral("0002")},
                                     Connection::Shared});
    ASSERT_TRUE(n.ok()) << n.error().toStdString();
    EXPECT_EQ(n.value(), 2);
}
