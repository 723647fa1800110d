#pragma once

#include "output/core/ExcelExport.h"
#include "store/Clock.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

struct Cell {
    QString type;  // t attribute: "inlineStr", "b", "" for numbers
    QString style; // s attribute
    QString value; // <v> or the inline text
};

// One worksheet of a written workbook, read back from its XML.
struct SheetXml {
    QMap<QString, Cell> cells; // by reference: "A1"
    QList<double> widths;      // <col width> per column
    int lastRow = 0;

    const Cell* at(const QString& ref) const {
        auto it = cells.find(ref);
        return it == cells.end() ? nullptr : &*it;
    }
};

inline QByteArray unzipMember(const QString& file, const QString& member) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, member});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

inline SheetXml readSheet(const QString& file, int number = 1) {
    SheetXml sheet;
    QXmlStreamReader xml(
        unzipMember(file, QStringLiteral("xl/worksheets/sheet%1.xml").arg(number)));
    QString ref;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"col") {
            sheet.widths << xml.attributes().value(QLatin1String("width")).toDouble();
        } else if (xml.name() == u"row") {
            sheet.lastRow = xml.attributes().value(QLatin1String("r")).toInt();
        } else if (xml.name() == u"c") {
            ref = xml.attributes().value(QLatin1String("r")).toString();
            sheet.cells[ref] = Cell{xml.attributes().value(QLatin1String("t")).toString(),
                                    xml.attributes().value(QLatin1String("s")).toString(),
                                    {}};
        } else if (xml.name() == u"v" || xml.name() == u"t") {
            sheet.cells[ref].value = xml.readElementText();
        }
    }
    return sheet;
}

inline QString columnLetter(int index) {
    return QString(QChar(u'A' + index));
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
