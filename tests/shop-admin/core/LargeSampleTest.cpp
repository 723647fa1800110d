#include "shop-admin/core/LargeSample.h"
#include "store/Clock.h"
#include "store/Schema.h"
#include "store/TextSearch.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

class LargeSampleTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(LargeSampleTest);

TEST_P(LargeSampleTest, FillsEveryTableInProportionWithOneOpenRentPerCopyOut) {
    // the small sample goes in first: 8 copies, 5 items, 4 members, 3 rents
    const double scale = 0.0005;
    ASSERT_TRUE(LargeSample::fill(db, scale).ok());
    const LargeSample::Sizes size = LargeSample::sizesAt(scale);
    EXPECT_EQ(count(QStringLiteral("出租库")), size.copies + 8);
    EXPECT_EQ(count(QStringLiteral("会员库")), size.members + 4);
    EXPECT_EQ(count(QStringLiteral("销售库")), size.saleItems + 5);
    EXPECT_EQ(count(QStringLiteral("出租记录")), size.rentRecords + 3);
    EXPECT_EQ(count(QStringLiteral("销售记录")), size.saleRecords + 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), size.incomeRows + 3);
    // every copy out has exactly one open rent, to the member its status names
    const qint64 out = count(QStringLiteral("出租库"), QStringLiteral("状态 <> '待租'"));
    EXPECT_GT(out, size.copies / 20);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), out);
    auto matching = db.scalarInteger(
        QStringLiteral("select count(*) from 出租记录 r join 出租库 c on c.条形码 = r.条形码 "
                       "where r.已还 = '否' and r.会员卡号 = c.状态"));
    ASSERT_TRUE(matching.ok()) << matching.error().toStdString();
    EXPECT_EQ(matching.value(), out);
    // a second fill is refused
    EXPECT_FALSE(LargeSample::fill(db, scale).ok());
}

// The load drops indexes and triggers and changes connection settings; all
// of it must be back as it was, with the trigram tables holding every row.
TEST_P(LargeSampleTest, LeavesSchemaSettingsAndTrigramSearchAsBefore) {
    const bool lite = db.engine() == Engine::Sqlite;
    auto lines = [&](const QString& sql) {
        QStringList found;
        auto rows = db.select(sql);
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        while (rows && rows.value().next())
            found << rows.value().query().value(0).toString();
        return found;
    };
    auto catalogue = [&] {
        return lines(lite ? QStringLiteral("select type || ' ' || name || ' ' || coalesce(sql, '') "
                                           "from sqlite_master where name not like 'sqlite_stat%' "
                                           "order by name")
                          : QStringLiteral("select indexname || ' ' || indexdef from pg_indexes "
                                           "where schemaname = current_schema() order by 1"));
    };
    const QString setting =
        lite ? QStringLiteral("PRAGMA synchronous") : QStringLiteral("SHOW maintenance_work_mem");
    // as shop-admin opens the file: statistics of the empty tables first
    ASSERT_TRUE(Schema::openOrCreate(db).ok());
    const QStringList schemaBefore = catalogue();
    const QStringList settingBefore = lines(setting);
    ASSERT_GT(schemaBefore.filter(QStringLiteral("出租记录_未还")).size(), 0);

    ASSERT_TRUE(LargeSample::fill(db, 0.0005).ok());
    EXPECT_EQ(catalogue(), schemaBefore);
    EXPECT_EQ(lines(setting), settingBefore);
    // the planner's statistics describe the tables as loaded
    if (lite) {
        const QStringList stat =
            lines(QStringLiteral("select stat from sqlite_stat1 where idx = '出租记录_日期'"));
        ASSERT_FALSE(stat.isEmpty());
        EXPECT_GT(stat.first().section(u' ', 0, 0).toLongLong(), 1000);
    }

    QRandomGenerator random(1209);
    for (const TextSearch::IndexedTable& indexed : TextSearch::indexedTables()) {
        for (const QString& column : indexed.columns) {
            const QStringList values =
                lines(QStringLiteral("select %1 from %2").arg(Db::quoted(column), indexed.table));
            ASSERT_GT(values.size(), 100);
            for (int n = 0; n < 8; ++n) {
                const QString value = values[random.bounded(int(values.size()))];
                if (value.size() < 3)
                    continue;
                const QString typed = value.mid(random.bounded(int(value.size()) - 2), 3);
                const TextSearch::Condition through =
                    TextSearch::contains(db, indexed.table, column, typed);
                const qint64 plain = count(indexed.table, db.containsCondition(Db::quoted(column)),
                                           {Db::containsPattern(typed)});
                EXPECT_GT(plain, 0);
                EXPECT_EQ(count(indexed.table, through.sql, through.params), plain)
                    << indexed.table.toStdString() << '.' << column.toStdString() << " contains "
                    << typed.toStdString();
            }
        }
    }
}

TEST_P(LargeSampleTest, SpreadsRecordsOverTheFiveYearsBeforeNowAndOpenRentsOverTheLastMonth) {
    const QDateTime now(QDate(2026, 3, 15), QTime(12, 0));
    Clock::setFixed(now);
    const Status filled = LargeSample::fill(db, 0.0005);
    Clock::setFixed({});
    ASSERT_TRUE(filled.ok()) << filled.error().toStdString();
    const QDateTime start = now.addYears(-5);
    const struct {
        const char *table, *column, *where;
        QDateTime earliest, latest;
    } spans[] = {
        {"出租记录", "出租日期", "1 = 1", start, now},
        {"出租记录", "出租日期", "已还 = '否'", now.addDays(-30), now},
        {"销售记录", "日期", "1 = 1", start, now},
        {"收入记录", "日期", "1 = 1", start, now},
        {"管理员日志", "日期", "1 = 1", start, now},
    };
    for (const auto& span : spans) {
        SCOPED_TRACE(std::string(span.table) + '.' + span.column + " where " + span.where);
        auto rows =
            db.select(QStringLiteral("select min(%1) as lo, max(%1) as hi from %2 where %3")
                          .arg(QString::fromUtf8(span.column), QString::fromUtf8(span.table),
                               QString::fromUtf8(span.where)));
        ASSERT_TRUE(rows.ok() && rows.value().next()) << rows.error().toStdString();
        const QDateTime lo = rows.value().dateTime(QStringLiteral("lo"));
        const QDateTime hi = rows.value().dateTime(QStringLiteral("hi"));
        EXPECT_GE(lo, span.earliest) << lo.toString().toStdString();
        EXPECT_LE(hi, span.latest) << hi.toString().toStdString();
        // spread over the whole span, not bunched at one end
        const qint64 fifth = span.earliest.secsTo(span.latest) / 5;
        EXPECT_LT(lo, span.earliest.addSecs(fifth)) << lo.toString().toStdString();
        EXPECT_GT(hi, span.latest.addSecs(-fifth)) << hi.toString().toStdString();
    }
}
