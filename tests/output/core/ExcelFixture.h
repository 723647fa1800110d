#pragma once

#include "output/core/ExcelExport.h"
#include "output/core/XlsxReader.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

// The rows of a written workbook's sheet, read back as an import reads
// them.
inline QList<XlsxBook::Row> readBack(const QString& file, int sheet = 0) {
    auto book = XlsxReader::open(file);
    EXPECT_TRUE(book.ok()) << book.error().toStdString();
    if (!book)
        return {};
    auto rows = book->rows(sheet);
    EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
    return rows ? rows.value() : QList<XlsxBook::Row>{};
}

// A value read back with its type: "QString 0001", "double 12.5", "null".
inline std::string typed(const QVariant& value) {
    if (value.isNull())
        return "null";
    return QString(QString::fromLatin1(value.typeName()) + u' ' + value.toString()).toStdString();
}

// Cell (row, column) of rows read back, both from 0; null past a row's end.
inline QVariant cellAt(const QList<XlsxBook::Row>& rows, int row, int column) {
    if (row < 0 || row >= rows.size() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row][column];
}

// The <col width> of each column of a worksheet (from 1).
inline QList<double> columnWidths(const QString& file, int number = 1) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file,
                                          QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)});
    unzip.waitForFinished(30000);
    QXmlStreamReader xml(unzip.readAllStandardOutput());
    QList<double> widths;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"col")
            widths << xml.attributes().value(QLatin1String("width")).toDouble();
    }
    return widths;
}

class ExcelExportTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(dir.isValid());
        const QString insert = QStringLiteral(
            "insert into 会员库(会员卡号,会员姓名,会员类型,卡内金额,会员积分,登记日期,有效期,"
            "联系方式) values(?,?,?,?,?,?,?,?)");
        execOk(insert, {QStringLiteral("0001"), QStringLiteral("张三"), QStringLiteral("散客"),
                        QVariant::fromValue(Money::fromUnits(125000)), QVariant(),
                        QDate(2024, 1, 5), QDateTime(QDate(2025, 1, 5), QTime(10, 30)),
                        QStringLiteral("13800000000 北京市海淀区中关村大街一号院三号楼")});
        execOk(insert,
               {QStringLiteral("0002"), QStringLiteral("李四"), QStringLiteral("散客"),
                QVariant::fromValue(Money::fromUnits(-8097)),
                QVariant::fromValue(Money::fromInt(3)), QVariant(), QVariant(), QVariant()});
        execOk(insert,
               {QStringLiteral("0003"), QStringLiteral("王五"), QStringLiteral("散客"),
                QVariant::fromValue(Money()), QVariant(), QVariant(), QVariant(), QVariant()});
    }
    QString file(const QString& name = QStringLiteral("list.xlsx")) const {
        return dir.path() + u'/' + name;
    }
    ListQuery members() const {
        return {QStringLiteral("select * from 会员库 order by 会员卡号"), {}, Connection::Shared};
    }
    QTemporaryDir dir;
};
