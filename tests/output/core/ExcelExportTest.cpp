#include "ExcelFixture.h"

SHOP_ON_BOTH_ENGINES(ExcelExportTest);

TEST_P(ExcelExportTest, HeaderIsTheColumnNamesAndCellsAreTyped) {
    auto done = ExcelExport::ExportQueryToExcel(members(), file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 3);
    EXPECT_FALSE(done->cancelled);
    const SheetXml sheet = readSheet(file());
    const QStringList columns = db.columns(QStringLiteral("会员库"));
    ASSERT_EQ(columns.size(), 18);
    for (int i = 0; i < columns.size(); ++i) {
        const Cell* header = sheet.at(columnLetter(i) + u'1');
        ASSERT_NE(header, nullptr) << i;
        EXPECT_EQ(header->value, columns[i]);
        EXPECT_EQ(header->type, QStringLiteral("inlineStr"));
    }
    EXPECT_EQ(sheet.lastRow, 4);
    auto cell = [&](const QString& column, int row) {
        return sheet.at(columnLetter(columns.indexOf(column)) + QString::number(row));
    };
    // text stays text, leading zeros included
    ASSERT_NE(cell(QStringLiteral("会员卡号"), 2), nullptr);
    EXPECT_EQ(cell(QStringLiteral("会员卡号"), 2)->type, QStringLiteral("inlineStr"));
    EXPECT_EQ(cell(QStringLiteral("会员卡号"), 2)->value, QStringLiteral("0001"));
    EXPECT_EQ(cell(QStringLiteral("会员姓名"), 3)->value, QStringLiteral("李四"));
    // money as numbers, to the ten-thousandth
    ASSERT_NE(cell(QStringLiteral("卡内金额"), 2), nullptr);
    EXPECT_EQ(cell(QStringLiteral("卡内金额"), 2)->type, QString());
    EXPECT_EQ(cell(QStringLiteral("卡内金额"), 2)->value, QStringLiteral("12.5"));
    EXPECT_EQ(cell(QStringLiteral("卡内金额"), 3)->value, QStringLiteral("-0.8097"));
    EXPECT_EQ(cell(QStringLiteral("卡内金额"), 4)->value, QStringLiteral("0"));
    EXPECT_EQ(cell(QStringLiteral("会员积分"), 3)->value, QStringLiteral("3"));
    // NULL amount, date and text: no cell at all
    EXPECT_EQ(cell(QStringLiteral("会员积分"), 2), nullptr);
    EXPECT_EQ(cell(QStringLiteral("登记日期"), 3), nullptr);
    EXPECT_EQ(cell(QStringLiteral("有效期"), 3), nullptr);
    EXPECT_EQ(cell(QStringLiteral("住址"), 2), nullptr);
    // dates as date serials with a date format: 2024-01-05 is day 45296,
    // 2025-01-05 10:30 is 45662 and 10.5/24 of a day
    ASSERT_NE(cell(QStringLiteral("登记日期"), 2), nullptr);
    EXPECT_EQ(cell(QStringLiteral("登记日期"), 2)->value.toDouble(), 45296.0);
    EXPECT_FALSE(cell(QStringLiteral("登记日期"), 2)->style.isEmpty());
    ASSERT_NE(cell(QStringLiteral("有效期"), 2), nullptr);
    EXPECT_DOUBLE_EQ(cell(QStringLiteral("有效期"), 2)->value.toDouble(), 45662.4375);
    EXPECT_FALSE(cell(QStringLiteral("有效期"), 2)->style.isEmpty());
    const QString styles = QString::fromUtf8(unzipMember(file(), QStringLiteral("xl/styles.xml")));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"yyyy-mm-dd\"")));
    EXPECT_TRUE(styles.contains(QStringLiteral("formatCode=\"yyyy-mm-dd hh:mm:ss\"")));
    // columns sized to content: the long address is wider than the sex column
    ASSERT_EQ(sheet.widths.size(), 18);
    EXPECT_GT(sheet.widths[columns.indexOf(QStringLiteral("联系方式"))],
              sheet.widths[columns.indexOf(QStringLiteral("会员性别"))] + 20);
    EXPECT_GE(sheet.widths[columns.indexOf(QStringLiteral("有效期"))], 19);
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
    const SheetXml sheet = readSheet(file());
    ASSERT_NE(sheet.at(QStringLiteral("B2")), nullptr);
    EXPECT_EQ(sheet.at(QStringLiteral("B2"))->type, QString());
    EXPECT_EQ(sheet.at(QStringLiteral("B2"))->value, QStringLiteral("12"));
    EXPECT_EQ(sheet.at(QStringLiteral("C2"))->value, QStringLiteral("0.85"));
    ASSERT_NE(sheet.at(QStringLiteral("D2")), nullptr);
    EXPECT_EQ(sheet.at(QStringLiteral("D2"))->type, QStringLiteral("b"));
    EXPECT_EQ(sheet.at(QStringLiteral("D2"))->value, QStringLiteral("1"));
    EXPECT_EQ(sheet.at(QStringLiteral("E2"))->type, QStringLiteral("b"));
    EXPECT_EQ(sheet.at(QStringLiteral("E2"))->value, QStringLiteral("0"));
}

TEST_P(ExcelExportTest, EmptyResultGivesTheHeaderOnly) {
    ListQuery query{
        QStringLiteral("select 会员卡号, 会员姓名, 卡内金额 from 会员库 where 会员卡号 = ?"),
        {QStringLiteral("没有这张卡")},
        Connection::Shared};
    auto done = ExcelExport::ExportQueryToExcel(query, file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 0);
    const SheetXml sheet = readSheet(file());
    EXPECT_EQ(sheet.lastRow, 1);
    EXPECT_EQ(sheet.cells.size(), 3);
    EXPECT_EQ(sheet.at(QStringLiteral("C1"))->value, QStringLiteral("卡内金额"));
}

TEST_P(ExcelExportTest, ListReadHalfWayIsStillExportedFromTheFirstRow) {
    auto onScreen = db.select(members().sql);
    ASSERT_TRUE(onScreen.ok());
    ASSERT_TRUE(onScreen.value().next());
    ASSERT_TRUE(onScreen.value().next()); // the window stands on the second row
    auto done = ExcelExport::ExportQueryToExcel(members(), file());
    ASSERT_TRUE(done.ok()) << done.error().toStdString();
    EXPECT_EQ(done->rows, 3);
    const SheetXml sheet = readSheet(file());
    EXPECT_EQ(sheet.at(QStringLiteral("A2"))->value, QStringLiteral("0001"));
    EXPECT_EQ(sheet.at(QStringLiteral("A4"))->value, QStringLiteral("0003"));
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
