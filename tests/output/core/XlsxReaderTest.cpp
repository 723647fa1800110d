#include "output/core/XlsxReader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

using Members = QList<QPair<QString, QByteArray>>;

const QByteArray Ns =
    R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const QByteArray RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QByteArray sheetXml(const QByteArray& rows) {
    return "<?xml version=\"1.0\"?><worksheet" + Ns + "><sheetData>" + rows +
           "</sheetData></worksheet>";
}

// A workbook's parts as a writer lays them out: sheets in the order given,
// the relationships' targets in the forms writers use (relative and
// absolute).
Members workbook(const QList<QPair<QString, QByteArray>>& sheets, const QByteArray& strings = {},
                 const QByteArray& styles = {}, const QByteArray& properties = {}) {
    QByteArray list, rels;
    Members parts;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        list += "<sheet name=\"" + sheets[i].first.toUtf8() + "\" sheetId=\"" + n +
                "\" r:id=\"rId" + n + "\"/>";
        // the second sheet lives at an absolute target, in a file named apart
        const QByteArray target =
            i == 1 ? QByteArray("/xl/worksheets/other.xml") : "worksheets/sheet" + n + ".xml";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + RelNs + "/worksheet\" Target=\"" +
                target + "\"/>";
        parts << qMakePair(
            QString::fromUtf8(target.startsWith('/') ? target.mid(1) : QByteArray("xl/" + target)),
            sheets[i].second);
    }
    if (!strings.isEmpty()) {
        rels += "<Relationship Id=\"rS\" Type=\"" + RelNs +
                "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts << qMakePair(QStringLiteral("xl/sharedStrings.xml"),
                           "<sst" + Ns + ">" + strings + "</sst>");
    }
    if (!styles.isEmpty()) {
        rels += "<Relationship Id=\"rT\" Type=\"" + RelNs + "/styles\" Target=\"styles.xml\"/>";
        parts << qMakePair(QStringLiteral("xl/styles.xml"),
                           "<styleSheet" + Ns + ">" + styles + "</styleSheet>");
    }
    parts << qMakePair(QStringLiteral("_rels/.rels"),
                       QByteArray("<Relationships><Relationship Id=\"rId1\" Type=\"" + RelNs +
                                  "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                                  "</Relationships>"));
    parts << qMakePair(QStringLiteral("xl/workbook.xml"), "<workbook" + Ns + ">" + properties +
                                                              "<sheets>" + list +
                                                              "</sheets></workbook>");
    parts << qMakePair(QStringLiteral("xl/_rels/workbook.xml.rels"),
                       "<Relationships>" + rels + "</Relationships>");
    return parts;
}

void writeZip(const QString& path, const Members& members) {
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, data] : members) {
        zip_source_t* source =
            zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        ASSERT_GE(zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(zip), 0);
}

class XlsxReaderTest : public ::testing::Test {
protected:
    QString write(const Members& members, const QString& name = QStringLiteral("book.xlsx")) {
        const QString path = dir.filePath(name);
        writeZip(path, members);
        return path;
    }
    // The rows of the first sheet of a workbook of these parts.
    QList<XlsxBook::Row> rowsOf(const Members& members) {
        auto book = XlsxReader::open(write(members));
        EXPECT_TRUE(book.ok()) << book.error().toStdString();
        if (!book)
            return {};
        auto rows = book->rows(0);
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        return rows ? rows.value() : QList<XlsxBook::Row>{};
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(XlsxReaderTest, TextOfEveryKindNumbersBooleansErrorsAndGaps) {
    const QByteArray strings = "<si><t>会员卡号</t></si>"
                               // a rich text: its runs, not its phonetic reading
                               "<si><r><rPr><b/></rPr><t>张</t></r><r><t xml:space=\"preserve\">"
                               "三 </t></r><rPh sb=\"0\" eb=\"1\"><t>zhang</t></rPh></si>";
    const QByteArray rows =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>1</v></c></row>"
        // row 2 is missing; cells and a row without their references follow on
        "<row r=\"3\"><c t=\"inlineStr\"><is><t>0001</t></is></c><c><v>12.5</v></c>"
        "<c t=\"b\"><v>1</v></c><c t=\"b\"><v>0</v></c><c t=\"e\"><v>#DIV/0!</v></c>"
        "<c t=\"str\"><f>A3&amp;\"x\"</f><v>0001x</v></c><c s=\"0\"/></row>"
        "<row><c r=\"B4\"><v>-0.8097</v></c><c r=\"D4\"><f>1/0</f></c></row>";
    const auto got = rowsOf(workbook({{QStringLiteral("会员"), sheetXml(rows)}}, strings));
    ASSERT_EQ(got.size(), 4);
    EXPECT_EQ(got[0],
              (XlsxBook::Row{QStringLiteral("会员卡号"), QVariant(), QStringLiteral("张三 ")}));
    EXPECT_TRUE(got[1].isEmpty());
    EXPECT_EQ(got[2], (XlsxBook::Row{QStringLiteral("0001"), 12.5, true, false,
                                     QStringLiteral("#DIV/0!"), QStringLiteral("0001x")}));
    EXPECT_EQ(got[2][1].typeId(), QMetaType::Double);
    EXPECT_EQ(got[2][2].typeId(), QMetaType::Bool);
    EXPECT_EQ(got[3], (XlsxBook::Row{QVariant(), -0.8097}));
}

TEST_F(XlsxReaderTest, NumberFormatsTellDatesTimesAndNumbers) {
    struct Case {
        const char* format; // a format code, or "#id" for a built-in one
        const char* serial;
        QVariant expected;
    };
    const QDate day(2024, 1, 5); // serial 45296
    const Case cases[] = {
        {"yyyy-mm-dd", "45296", day},
        {"yyyy-mm-dd hh:mm:ss", "45662.4375", QDateTime(QDate(2025, 1, 5), QTime(10, 30))},
        {"yyyy\"年\"m\"月\"d\"日\"", "45296", day},
        {"[$-804]yyyy/m/d;@", "45296", day},
        {"mmm", "45296", day},
        // a date keeps a time of day its format does not show
        {"yyyy-mm-dd", "45296.75", QDateTime(day, QTime(18, 0))},
        {"hh:mm:ss", "0.5", QTime(12, 0)},
        {"h:mm AM/PM", "0.25", QTime(6, 0)},
        {"mm:ss", "0.000694444444444444", QTime(0, 1)},
        {"[h]:mm", "0.0625", QTime(1, 30)},
        {"#14", "45296", day},
        {"#22", "45296.5", QDateTime(day, QTime(12, 0))},
        {"#31", "45296", day}, // the Chinese yyyy"年"m"月"d"日"
        {"#20", "0.5", QTime(12, 0)},
        // the 1900 system's days around its 29 February that never was
        {"#14", "1", QDate(1900, 1, 1)},
        {"#14", "59", QDate(1900, 2, 28)},
        {"#14", "61", QDate(1900, 3, 1)},
        // no dates
        {"0.00", "12.5", 12.5},
        {"#,##0.00\"元\"", "3", 3.0},
        {"0.00E+00", "1200", 1200.0},
        {"[Red]0;[Blue]-0", "-2", -2.0},
        {"General", "7", 7.0},
        {"#0", "45296", 45296.0},
        {"#49", "45296", 45296.0}, // "@", text
    };
    QByteArray formats, styles, rows;
    int id = 164;
    for (const Case& c : cases) {
        QByteArray numFmtId;
        if (c.format[0] == '#' && c.format[1] != ',') {
            numFmtId = QByteArray(c.format + 1);
        } else {
            numFmtId = QByteArray::number(id++);
            formats += "<numFmt numFmtId=\"" + numFmtId + "\" formatCode=\"" +
                       QByteArray(c.format).replace("\"", "&quot;") + "\"/>";
        }
        const QByteArray s = QByteArray::number(styles.count("<xf "));
        styles += "<xf numFmtId=\"" + numFmtId + "\" applyNumberFormat=\"1\"/>";
        rows += "<row><c s=\"" + s + "\"><v>" + c.serial + "</v></c></row>";
    }
    // the cell style formats are not the cells' formats
    const QByteArray styleSheet = "<numFmts>" + formats +
                                  "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
                                  "<cellXfs>" +
                                  styles + "</cellXfs>";
    const auto got = rowsOf(workbook({{QStringLiteral("Sheet1"), sheetXml(rows)}}, {}, styleSheet));
    ASSERT_EQ(got.size(), std::size(cases));
    for (qsizetype i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i].size(), 1) << cases[i].format;
        EXPECT_EQ(got[i][0], cases[i].expected) << cases[i].format << " " << cases[i].serial
                                                << " → " << got[i][0].toString().toStdString();
        EXPECT_EQ(got[i][0].typeId(), cases[i].expected.typeId()) << cases[i].format;
    }

    // the 1904 date system counts from 1 January 1904
    const auto from1904 = rowsOf(
        workbook({{QStringLiteral("Sheet1"), sheetXml("<row><c s=\"0\"><v>1</v></c></row>")}}, {},
                 "<cellXfs><xf numFmtId=\"14\"/></cellXfs>", "<workbookPr date1904=\"1\"/>"));
    ASSERT_EQ(from1904.size(), 1);
    EXPECT_EQ(from1904[0], XlsxBook::Row{QDate(1904, 1, 2)});
}

TEST_F(XlsxReaderTest, SheetsInTheWorkbooksOrderByPlaceOrNameAndRowByRow) {
    const QString path = write(workbook(
        {{QStringLiteral("出租库"), sheetXml("<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>")},
         {QStringLiteral("会员 库"),
          sheetXml("<row><c t=\"inlineStr\"><is><t>a</t></is></c></row>"
                   "<row><c t=\"inlineStr\"><is><t>b</t></is></c></row>"
                   "<row><c t=\"inlineStr\"><is><t>c</t></is></c></row>")},
         {QStringLiteral("空"), sheetXml({})}}));
    auto book = XlsxReader::open(path);
    ASSERT_TRUE(book.ok()) << book.error().toStdString();
    EXPECT_EQ(book->sheetNames(), (QStringList{QStringLiteral("出租库"), QStringLiteral("会员 库"),
                                               QStringLiteral("空")}));
    auto first = book->rows(0);
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first.value(), (QList<XlsxBook::Row>{{}, {QVariant(), 1.0}}));
    auto second = book->rows(QStringLiteral("会员 库"));
    ASSERT_TRUE(second.ok()) << second.error().toStdString();
    EXPECT_EQ(second->size(), 3);
    auto empty = book->rows(2);
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty->isEmpty());

    QList<int> seen;
    ASSERT_TRUE(book->forEachRow(1,
                                 [&](int number, const XlsxBook::Row& cells) {
                                     seen << number;
                                     EXPECT_EQ(cells.size(), 1);
                                     return number < 2;
                                 })
                    .ok());
    EXPECT_EQ(seen, (QList<int>{1, 2}));

    const QString at = QDir::toNativeSeparators(path);
    auto none = book->rows(QStringLiteral("销售库"));
    ASSERT_FALSE(none.ok());
    EXPECT_EQ(none.error(), QStringLiteral("工作簿中没有工作表“销售库”：") + at);
    auto past = book->rows(3);
    ASSERT_FALSE(past.ok());
    EXPECT_EQ(past.error(), QStringLiteral("工作簿中没有第4个工作表：") + at);
}

TEST_F(XlsxReaderTest, ReadsBackAWorkbookWithSharedStrings) {
    // the spreadsheet writer's ordinary mode keeps texts in the shared table
    const QString path = dir.filePath(QStringLiteral("shared.xlsx"));
    lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* ws = workbook_add_worksheet(wb, "销售库");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    worksheet_write_string(ws, 0, 0, "商品名称", nullptr);
    worksheet_write_string(ws, 1, 0, "活着", nullptr);
    worksheet_write_string(ws, 2, 0, "活着", nullptr);
    worksheet_write_number(ws, 1, 1, 21.25, nullptr);
    lxw_datetime when{2026, 3, 4, 0, 0, 0};
    worksheet_write_datetime(ws, 1, 2, &when, date);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    auto book = XlsxReader::open(path);
    ASSERT_TRUE(book.ok()) << book.error().toStdString();
    auto rows = book->rows(QStringLiteral("销售库"));
    ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
    EXPECT_EQ(rows.value(),
              (QList<XlsxBook::Row>{{QStringLiteral("商品名称")},
                                    {QStringLiteral("活着"), 21.25, QDate(2026, 3, 4)},
                                    {QStringLiteral("活着")}}));
}

TEST_F(XlsxReaderTest, WhatIsNoWorkbookOrIsDamagedIsRefusedWithItsName) {
    auto file = [&](const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return dir.filePath(name);
    };
    const Members good =
        workbook({{QStringLiteral("Sheet1"), sheetXml("<row><c t=\"s\"><v>0</v></c></row>")}},
                 "<si><t>x</t></si>");
    QFile whole(write(good, QStringLiteral("good.xlsx")));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    auto without = [&](const QString& member) {
        Members parts;
        for (const auto& part : good) {
            if (part.first != member)
                parts << part;
        }
        return parts;
    };
    auto with = [&](const QString& member, const QByteArray& data) {
        Members parts = without(member);
        parts << qMakePair(member, data);
        return parts;
    };
    const QString damaged = QStringLiteral("Excel文件已损坏：");
    const QString notBook = QStringLiteral("文件不是Excel工作簿（.xlsx）：");
    struct Case {
        QString path;
        QString message; // the start of the message; the file's name follows
        QString after = {};
    };
    const Case cases[] = {
        {dir.filePath(QStringLiteral("none.xlsx")), QStringLiteral("文件不存在：")},
        {dir.path(), QStringLiteral("不能读取文件：")},
        {file(QStringLiteral("list.xlsx"), "会员卡号,姓名\n0001,张三\n"), notBook},
        {file(QStringLiteral("empty.xlsx"), {}), notBook},
        {file(QStringLiteral("old.xls"),
              QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(504, 0)),
         QStringLiteral("文件是旧版的.xls工作簿或加了密码的工作簿，请先另存为不加密的.xlsx：")},
        {file(QStringLiteral("cut.xlsx"), bytes.left(bytes.size() / 2)), damaged, "（zip）"},
        {write({{QStringLiteral("a.txt"), "x"}}, QStringLiteral("other.zip")), notBook},
        {write(with(QStringLiteral("xl/sharedStrings.xml"), "<sst><si><t>x</t></si>"),
               QStringLiteral("open.xlsx")),
         damaged, QStringLiteral("（xl/sharedStrings.xml）")},
        {write(without(QStringLiteral("xl/worksheets/sheet1.xml")), QStringLiteral("lost.xlsx")),
         damaged, QStringLiteral("（xl/worksheets/sheet1.xml）")},
        {write(with(QStringLiteral("xl/worksheets/sheet1.xml"),
                    sheetXml("<row><c t=\"s\"><v>1</v></c></row>")),
               QStringLiteral("index.xlsx")),
         damaged, QStringLiteral("（xl/worksheets/sheet1.xml）")},
        {write(with(QStringLiteral("xl/worksheets/sheet1.xml"),
                    sheetXml("<row><c r=\"XFE1\"><v>1</v></c></row>")),
               QStringLiteral("wide.xlsx")),
         damaged, QStringLiteral("（xl/worksheets/sheet1.xml）")},
        {write(with(QStringLiteral("xl/worksheets/sheet1.xml"),
                    sheetXml("<row><c><v>1x</v></c></row>")),
               QStringLiteral("number.xlsx")),
         damaged, QStringLiteral("（xl/worksheets/sheet1.xml）")},
    };
    for (const Case& c : cases) {
        auto book = XlsxReader::open(c.path);
        QString error = book ? QString() : book.error();
        if (book) { // a sheet that cannot be read is found when it is read
            auto rows = book->rows(0);
            ASSERT_FALSE(rows.ok()) << c.path.toStdString();
            error = rows.error();
        }
        EXPECT_EQ(error, c.message + QDir::toNativeSeparators(c.path) + c.after)
            << c.path.toStdString();
    }
    EXPECT_TRUE(XlsxReader::open(whole.fileName()).ok());
}
