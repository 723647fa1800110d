// The old shop's Access file (written by an independent Access writer)
// imported on both engines and compared with what its expected file says
// every count, sum, identity, sample row and orphan must become.

#include "tools/core/LegacyImport.h"
#include "store/Passwords.h"
#include "store/Schema.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QString Fixtures = QStringLiteral(SHOP_LEGACY_FIXTURES);
const QString OldShop = Fixtures + QStringLiteral("/old-shop.mdb");

QJsonObject expected() {
    static const QJsonObject json = [] {
        QFile file(Fixtures + QStringLiteral("/old-shop.expected.json"));
        if (!file.open(QIODevice::ReadOnly))
            return QJsonObject();
        return QJsonDocument::fromJson(file.readAll()).object();
    }();
    return json;
}

// A decimal text ("-0.0001", "922337203686728.0807", "1104") as
// ten-thousandths, wide enough for a sum beyond an amount's range.
__int128 unitsOf(const QString& decimal) {
    const bool negative = decimal.startsWith(u'-');
    const QString digits = negative ? decimal.mid(1) : decimal;
    const qsizetype point = digits.indexOf(u'.');
    QString whole = point < 0 ? digits : digits.left(point);
    QString places = point < 0 ? QString() : digits.mid(point + 1);
    places = QString(places + QStringLiteral("0000")).left(4);
    __int128 units = 0;
    for (QChar c : QString(whole + places))
        units = units * 10 + (c.unicode() - u'0');
    return negative ? -units : units;
}

std::string text(__int128 units) {
    const bool negative = units < 0;
    unsigned __int128 n = negative ? -units : units;
    std::string digits;
    do {
        digits.insert(digits.begin(), char('0' + int(n % 10)));
        n /= 10;
    } while (n);
    return (negative ? "-" : "") + digits;
}

// Whether the stored value of column in the current row is what the
// expected file says, in its value form for the column's type.
std::optional<QString> differs(const QString& table, const QString& column, const QString& type,
                               const QJsonValue& want, Rows& rows) {
    const bool null = rows.isNull(column);
    auto said = [&](const QString& got) {
        return QStringLiteral("%1.%2: %3 instead of %4")
            .arg(table, column, got,
                 QString::fromUtf8(QJsonDocument(QJsonArray{want}).toJson(QJsonDocument::Compact)));
    };
    if (want.isNull())
        return null ? std::nullopt : std::optional(said(rows.text(column)));
    if (null)
        return said(QStringLiteral("no value"));
    if (table == u"管理员" && column == u"pwd") // the clear text must log in
        return Passwords::verify(rows.text(column), want.toString())
                   ? std::nullopt
                   : std::optional(said(rows.text(column)));
    if (type == u"money" || type == u"number") {
        const __int128 stored = rows.money(column).units();
        return stored == unitsOf(want.toString())
                   ? std::nullopt
                   : std::optional(said(rows.money(column).toString()));
    }
    if (type == u"integer" || type == u"identity") {
        const qint64 stored = rows.integer(column);
        return stored == want.toInteger() ? std::nullopt
                                          : std::optional(said(QString::number(stored)));
    }
    if (type == u"yes/no")
        return rows.yesNo(column) == want.toBool() ? std::nullopt
                                                   : std::optional(said(rows.text(column)));
    if (type == u"date") {
        const QString stored = rows.date(column).toString(QStringLiteral("yyyy-MM-dd"));
        return stored == want.toString() ? std::nullopt : std::optional(said(stored));
    }
    if (type == u"date-time") {
        const QString stored =
            rows.dateTime(column).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        return stored == want.toString() ? std::nullopt : std::optional(said(stored));
    }
    if (type == u"picture") {
        const QByteArray bytes = rows.bytes(column);
        const QString sha = QString::fromLatin1(
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        const QJsonObject picture = want.toObject();
        return bytes.size() == picture.value(u"length").toInteger() &&
                       sha == picture.value(u"sha256").toString()
                   ? std::nullopt
                   : std::optional(said(QStringLiteral("%1 bytes %2").arg(bytes.size()).arg(sha)));
    }
    // text, memo, integer-or-text
    const QString stored = rows.text(column);
    return stored == want.toString() ? std::nullopt : std::optional(said(stored));
}

QHash<QString, QString> columnTypes(const QString& table) {
    QHash<QString, QString> types;
    const QJsonArray columns =
        expected().value(u"tables").toObject().value(table).toObject().value(u"columns").toArray();
    for (const QJsonValue& c : columns)
        types.insert(c.toObject().value(u"name").toString(),
                     c.toObject().value(u"type").toString());
    return types;
}

class LegacyImportTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_FALSE(expected().isEmpty()) << "the expected file is not beside the source tree";
    }

    LegacyImportReport importOk(const QString& file = OldShop) {
        auto report = LegacyImport::importInto(file, db);
        EXPECT_TRUE(report.ok()) << report.error().toStdString();
        return report.ok() ? report.value() : LegacyImportReport{};
    }

    Rows selectAll(const QString& table) {
        auto rows = db.select(QStringLiteral("select * from ") + Db::quoted(table));
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        return std::move(rows).value();
    }
};

TEST_P(LegacyImportTest, EveryTableHasTheExpectedRowsSumsAndIdentities) {
    const LegacyImportReport report = importOk();
    EXPECT_TRUE(report.refused.isEmpty()) << report.text().toStdString();
    EXPECT_TRUE(report.warnings.isEmpty()) << report.text().toStdString();
    const QJsonObject tables = expected().value(u"tables").toObject();
    ASSERT_EQ(tables.size(), Schema::tableNames().size());
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        const QString table = it.key();
        SCOPED_TRACE(table.toStdString());
        const QJsonObject want = it.value().toObject();
        const qint64 rows = want.value(u"rows").toInteger();
        EXPECT_EQ(count(table), rows);
        const LegacyTableCount* counted = report.table(table);
        ASSERT_NE(counted, nullptr);
        EXPECT_EQ(counted->read, rows);
        EXPECT_EQ(counted->written, rows);

        const QJsonObject sums = want.value(u"sums").toObject();
        const QJsonObject identity = want.value(u"identity").toObject();
        const QString idColumn = identity.value(u"column").toString();
        QHash<QString, __int128> sum;
        QHash<QString, qint64> nulls;
        qint64 idMin = std::numeric_limits<qint64>::max(), idMax = 0, idSum = 0;
        QSet<qint64> ids;
        const QHash<QString, QString> types = columnTypes(table);
        Rows all = selectAll(table);
        while (all.next()) {
            for (auto s = sums.begin(); s != sums.end(); ++s) {
                const QString column = s.key();
                if (all.isNull(column))
                    ++nulls[column];
                else if (types.value(column) == u"integer")
                    sum[column] += __int128(all.integer(column)) * 10000;
                else
                    sum[column] += all.money(column).units();
            }
            if (!idColumn.isEmpty()) {
                const qint64 id = all.integer(idColumn);
                idMin = std::min(idMin, id);
                idMax = std::max(idMax, id);
                idSum += id;
                ids.insert(id);
            }
        }
        for (auto s = sums.begin(); s != sums.end(); ++s) {
            SCOPED_TRACE(s.key().toStdString());
            const QJsonObject w = s.value().toObject();
            EXPECT_EQ(text(sum.value(s.key())), text(unitsOf(w.value(u"sum").toString())));
            EXPECT_EQ(nulls.value(s.key()), w.value(u"nulls").toInteger());
        }
        if (!idColumn.isEmpty()) {
            EXPECT_EQ(idMin, identity.value(u"min").toInteger());
            EXPECT_EQ(idMax, identity.value(u"max").toInteger());
            EXPECT_EQ(idSum, identity.value(u"sum").toInteger());
            for (const QJsonValue& gone : identity.value(u"deleted").toArray())
                EXPECT_FALSE(ids.contains(gone.toInteger())) << gone.toInteger();
            // a new row continues after the largest number the file kept
            auto added =
                db.insert(QStringLiteral("insert into %1 default values").arg(Db::quoted(table)),
                          {}, idColumn);
            ASSERT_TRUE(added.ok()) << added.error().toStdString();
            EXPECT_GT(added.value(), idMax);
        }
    }
}

TEST_P(LegacyImportTest, EverySampleRowIsStoredAsExpected) {
    importOk();
    const QJsonArray samples = expected().value(u"samples").toArray();
    ASSERT_GT(samples.size(), 40);
    for (const QJsonValue& value : samples) {
        const QJsonObject sample = value.toObject();
        const QString table = sample.value(u"table").toString();
        SCOPED_TRACE(sample.value(u"name").toString().toStdString());
        const QJsonObject want = sample.value(u"row").toObject();
        // matched by the key, or by every column for a table without one
        const QJsonObject match =
            sample.value(u"match").isNull() ? want : sample.value(u"match").toObject();
        const QHash<QString, QString> types = columnTypes(table);
        Rows rows = selectAll(table);
        int found = 0;
        QStringList nearest;
        while (rows.next()) {
            bool matches = true;
            for (auto m = match.begin(); m != match.end() && matches; ++m)
                matches = !differs(table, m.key(), types.value(m.key()), m.value(), rows);
            if (!matches)
                continue;
            ++found;
            for (auto c = want.begin(); c != want.end(); ++c) {
                if (auto wrong = differs(table, c.key(), types.value(c.key()), c.value(), rows))
                    ADD_FAILURE() << wrong->toStdString();
            }
        }
        EXPECT_EQ(found, 1);
    }
}

TEST_P(LegacyImportTest, RecordsOfDeletedCopiesItemsAndMembersAreKeptAndListed) {
    const LegacyImportReport report = importOk();
    QHash<QString, QSet<QString>> listed;
    for (const LegacyIssue& orphan : report.orphans)
        listed[orphan.table + u'.' + orphan.column].insert(orphan.key);
    qint64 expectedRows = 0;
    for (const QJsonValue& value : expected().value(u"orphans").toArray()) {
        const QJsonObject orphan = value.toObject();
        const QString where =
            orphan.value(u"table").toString() + u'.' + orphan.value(u"column").toString();
        QSet<QString> ids;
        for (const QJsonValue& id : orphan.value(u"ids").toArray()) {
            ids.insert(QString::number(id.toInteger()));
            EXPECT_EQ(count(orphan.value(u"table").toString(), QStringLiteral("id = ?"),
                            {id.toInteger()}),
                      1);
        }
        EXPECT_TRUE(listed.value(where) == ids) << where.toStdString();
        expectedRows += orphan.value(u"rows").toInteger();
    }
    EXPECT_EQ(report.orphans.size(), expectedRows) << report.text().toStdString();
}

TEST_P(LegacyImportTest, ADatabaseHoldingMoreThanItsFirstRowsIsRefusedUntouched) {
    execOk(QStringLiteral("insert into 单位部门(名称) values('财务科')"));
    auto refused = LegacyImport::importInto(OldShop, db);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QStringLiteral("数据库中已有数据 (表 单位部门), 旧数据只能导入新建的"
                                              "数据库. 请先用 shop-admin init 建立一个新数据库; "
                                              "什么也没有导入."));
    EXPECT_EQ(count(QStringLiteral("单位部门")), 1);
    EXPECT_EQ(count(QStringLiteral("管理员")), 1);
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
}

TEST_P(LegacyImportTest, ACancelRollsEverythingBack) {
    std::atomic<bool> cancel{false};
    auto cancelled = LegacyImport::importInto(
        OldShop, db,
        [&](const QString& table, qint64, qint64) {
            if (table == u"收入记录")
                cancel = true;
        },
        &cancel);
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error(), LegacyImport::Cancelled);
    EXPECT_TRUE(LegacyImport::checkFresh(db).ok());
    EXPECT_EQ(count(QStringLiteral("出租记录")), 0);
    EXPECT_EQ(count(QStringLiteral("管理员"), QStringLiteral("\"AdminName\" = '超级管理员'")), 1);
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
}

// The file changed byte for byte where a value or name is stored: a card
// number made a duplicate, a Currency made the one value no amount holds,
// a column renamed.
TEST_P(LegacyImportTest, RowsThatCannotBeTakenAreRefusedAndListedTheOthersWritten) {
    QFile original(OldShop);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray bytes = original.readAll();
    auto patch = [&](const QByteArray& from, const QByteArray& to, int times) {
        ASSERT_EQ(bytes.count(from), times);
        bytes.replace(from, to);
    };
    auto utf16 = [](const QString& s) {
        return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    };
    patch(utf16(QStringLiteral("HY0002")), utf16(QStringLiteral("HY0001")), 19);
    patch(QByteArray("\xff\xff\xff\xff\xff\xff\xff\x7f", 8), QByteArray("\0\0\0\0\0\0\0\x80", 8),
          1);
    patch(utf16(QStringLiteral("住址")), utf16(QStringLiteral("旧址")), 1);
    QTemporaryDir dir;
    const QString changed = dir.filePath(QStringLiteral("data.mdb"));
    QFile out(changed);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();

    const LegacyImportReport report = importOk(changed);
    ASSERT_EQ(report.refused.size(), 2) << report.text().toStdString();
    const LegacyIssue duplicate = report.refused.at(0);
    EXPECT_EQ(duplicate.table, QStringLiteral("会员库"));
    EXPECT_EQ(duplicate.column, QStringLiteral("会员卡号"));
    EXPECT_TRUE(duplicate.reason.startsWith(QStringLiteral("HY0001 与第 ")))
        << duplicate.reason.toStdString();
    EXPECT_GT(duplicate.row, 0);
    const LegacyIssue amount = report.refused.at(1);
    EXPECT_EQ(amount.table, QStringLiteral("供应商"));
    EXPECT_EQ(amount.column, QStringLiteral("所欠货款"));
    EXPECT_EQ(amount.reason, QStringLiteral("超出金额范围: -922337203685477.5808"));
    EXPECT_EQ(report.table(QStringLiteral("会员库"))->refused, 1);
    EXPECT_EQ(count(QStringLiteral("会员库")), 38);
    EXPECT_EQ(count(QStringLiteral("供应商")), 3);
    EXPECT_EQ(count(QStringLiteral("供应商"), QStringLiteral("名称 = '蓝天文化'")), 0);

    // the renamed column: the shop's column empty, the file's ignored
    QStringList warnings;
    for (const LegacyIssue& w : report.warnings)
        warnings << w.table + u' ' + w.column + u' ' + w.reason;
    EXPECT_EQ(warnings,
              (QStringList{QStringLiteral("会员库 住址 文件中没有这一列, 取默认值"),
                           QStringLiteral("会员库 旧址 这一列不是本程序的列, 没有导入")}));
    EXPECT_EQ(count(QStringLiteral("会员库"), QStringLiteral("住址 is not null")), 0);
    // the report names every refusal with its table, row, column and reason
    EXPECT_TRUE(report.text().contains(
        QStringLiteral("供应商\t%1\t所欠货款\t超出金额范围: -922337203685477.5808\n")
            .arg(amount.row)))
        << report.text().toStdString();
}

SHOP_ON_BOTH_ENGINES(LegacyImportTest);

TEST(LegacyImportPreview, CountsTheRowsAndWritesNothing) {
    auto preview = LegacyImport::preview(OldShop);
    ASSERT_TRUE(preview.ok()) << preview.error().toStdString();
    EXPECT_TRUE(preview.value().preview);
    EXPECT_EQ(preview.value().format, expected().value(u"format").toString());
    const QJsonObject tables = expected().value(u"tables").toObject();
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        const LegacyTableCount* counted = preview.value().table(it.key());
        ASSERT_NE(counted, nullptr);
        EXPECT_TRUE(counted->inFile);
        EXPECT_EQ(counted->written, it.value().toObject().value(u"rows").toInteger())
            << it.key().toStdString();
    }
    EXPECT_TRUE(preview.value().refused.isEmpty());
}

TEST(LegacyImportPreview, AFileThatIsNotAnAccessFileIsRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data.mdb"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    auto refused = LegacyImport::preview(path);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QStringLiteral("不是 Access 数据库文件, 或文件已损坏: ") + path);
    EXPECT_EQ(LegacyImport::preview(dir.filePath(QStringLiteral("none.mdb"))).error(),
              QStringLiteral("找不到文件: ") + dir.filePath(QStringLiteral("none.mdb")));
}

} // namespace
