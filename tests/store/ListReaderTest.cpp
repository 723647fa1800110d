#include "store/ListReader.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr int Members = 3000;

QString card(int i) {
    return QStringLiteral("K%1").arg((i * 389) % Members, 4, 10, QLatin1Char('0'));
}

// 3 000 members: balances repeat and every seventh is empty, so ties and
// empty values cross page edges; every hundredth is called O'Brien.
class ListReaderTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(db.inTransaction([&]() -> Status {
                          for (int i = 0; i < Members; ++i) {
                              const QVariant balance =
                                  i % 7 == 3 ? QVariant()
                                             : QVariant::fromValue(Money::fromInt(i % 13) +
                                                                   *Money::parse(u"0.0001"));
                              const QString name = i % 100 == 0 ? QStringLiteral("O'Brien")
                                                   : i % 5      ? QStringLiteral("某")
                                                                : QString();
                              auto r = db.exec(
                                  QStringLiteral("insert into 会员库(会员卡号,卡内金额,会员姓名,"
                                                 "会员类型) values(?,?,?,?)"),
                                  {card(i), balance, name.isNull() ? QVariant() : QVariant(name),
                                   i % 2 ? QStringLiteral("金卡") : QStringLiteral("普通会员")});
                              if (!r)
                                  return Error{r.error()};
                          }
                          return {};
                      }).ok());
    }
    static ListQuery members(const QString& order = {}) {
        return {QStringLiteral("select * from 会员库"),
                {},
                Connection::Shared,
                QStringLiteral("会员卡号"),
                order};
    }
    // The cards of a statement as the database itself orders them.
    QStringList cardsOf(const ListQuery& query) {
        QStringList cards;
        auto rows = db.select(query.sql, query.params);
        EXPECT_TRUE(rows.ok());
        while (rows && rows.value().next())
            cards << rows.value().text(QStringLiteral("会员卡号"));
        return cards;
    }
    static QStringList cardsIn(const ListReader& reader, const ListReader::Rows& rows) {
        const int column = reader.columns().indexOf(QStringLiteral("会员卡号"));
        QStringList cards;
        for (const auto& row : rows)
            cards << row.at(column).toString();
        return cards;
    }
    // Waits until done says so, processing the reads' reports.
    static bool waitFor(const std::function<bool()>& done) {
        QDeadlineTimer deadline(30000);
        while (!done() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return done();
    }
};
SHOP_ON_BOTH_ENGINES(ListReaderTest);

// a statement slow enough to be still running when it is replaced
ListQuery slowCount() {
    return {QStringLiteral("select count(*) from 会员库 a, 会员库 b, 会员库 c "
                           "where a.卡内金额 + b.卡内金额 > c.卡内金额"),
            {}};
}

} // namespace

TEST_P(ListReaderTest, FirstAndLastPagesAndEveryPageByKeyMatchTheWholeOrder) {
    const struct {
        const char* sort;
        bool ascending;
        const char* own;
    } sorts[] = {{"", true, ""},          {"卡内金额", true, ""}, {"卡内金额", false, ""},
                 {"会员姓名", false, ""}, {"", true, "卡内金额"}, {"会员姓名", true, "卡内金额"}};
    for (const auto& sort : sorts) {
        SCOPED_TRACE(std::string(sort.sort) + (sort.ascending ? " asc own " : " desc own ") +
                     sort.own);
        ListReader reader(members(QString::fromUtf8(sort.own)));
        reader.setOrder({QString::fromUtf8(sort.sort), sort.ascending});
        auto first = reader.first(200);
        ASSERT_TRUE(first.ok()) << first.error().toStdString();
        ASSERT_TRUE(reader.isKeyed());
        const QStringList whole = cardsOf(reader.shownQuery());
        ASSERT_EQ(whole.size(), Members);
        EXPECT_EQ(cardsIn(reader, first.value()), whole.mid(0, 200));
        auto last = reader.from(nullptr, true, 200);
        ASSERT_TRUE(last.ok());
        EXPECT_EQ(cardsIn(reader, last.value()), whole.mid(Members - 200));
        // backwards from the last page's first row: the page before it
        auto before = reader.from(&last.value().first(), true, 300);
        ASSERT_TRUE(before.ok());
        EXPECT_EQ(cardsIn(reader, before.value()), whole.mid(Members - 500, 300));
        QStringList paged;
        ASSERT_TRUE(reader
                        .forEach(700,
                                 [&](const ListReader::Rows& rows) {
                                     paged += cardsIn(reader, rows);
                                     return true;
                                 })
                        .ok());
        EXPECT_EQ(paged, whole);
        for (const int row : {0, 1999, Members - 1})
            EXPECT_EQ(reader.rowOfKey(whole[row]), std::optional<qint64>(row));
        EXPECT_EQ(reader.rowOfKey(QStringLiteral("Z999")), std::nullopt);
        // a reader over the rows as shown reads them in the same order
        ListReader again(reader.shownQuery());
        QStringList reread;
        ASSERT_TRUE(again
                        .forEach(1000,
                                 [&](const ListReader::Rows& rows) {
                                     reread += cardsIn(again, rows);
                                     return true;
                                 })
                        .ok());
        EXPECT_EQ(reread, whole);
    }
}

TEST_P(ListReaderTest, WithoutAKeyPagesGoByPositionInOneFixedOrder) {
    ListReader reader({QStringLiteral("select 会员卡号, 卡内金额 from 会员库"), {}});
    reader.setOrder({QStringLiteral("卡内金额"), false});
    ASSERT_TRUE(reader.first(10).ok());
    EXPECT_FALSE(reader.isKeyed());
    QStringList paged;
    ASSERT_TRUE(reader
                    .forEach(450,
                             [&](const ListReader::Rows& rows) {
                                 paged += cardsIn(reader, rows);
                                 return paged.size() < 1000; // stopping is heard
                             })
                    .ok());
    const QStringList whole = cardsOf(reader.shownQuery());
    // runs of 450, then 900: each skips the rows before it, so they grow
    EXPECT_EQ(paged, whole.mid(0, 1350));
    auto last = reader.page(Members / 450, 450);
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(cardsIn(reader, last.value()), whole.mid(Members / 450 * 450));
    EXPECT_EQ(reader.count().value(), Members);
}

TEST_P(ListReaderTest, ValueFiltersWithAQuoteAndEmptyValuesNarrowEveryReadAndTheFooter) {
    // the search condition comes inside the statement, the text bound
    ListQuery searched = members();
    searched.sql += QStringLiteral(" where 会员姓名 like ?");
    searched.params << QStringLiteral("%'B%");
    ListReader reader(searched);
    ASSERT_TRUE(reader.first(200).ok());
    EXPECT_EQ(reader.count().value(), Members / 100);

    reader.setQuery(members());
    reader.setFilters({{QStringLiteral("会员姓名"), QStringLiteral("O'Brien")},
                       {QStringLiteral("会员类型"), QStringLiteral("普通会员")}});
    ASSERT_TRUE(reader.first(200).ok());
    EXPECT_EQ(reader.count().value(), Members / 100);
    auto footer = reader.footer({QStringLiteral("卡内金额")}, {QStringLiteral("卡内金额")});
    ASSERT_TRUE(footer.ok());
    auto sum = db.scalarMoney(
        QStringLiteral("select sum(卡内金额) from 会员库 where 会员姓名 = ? and 会员类型 = ?"),
        {QStringLiteral("O'Brien"), QStringLiteral("普通会员")});
    EXPECT_EQ(footer.value().count, Members / 100);
    EXPECT_EQ(footer.value().sums.value(QStringLiteral("卡内金额")), sum.value());

    // a null value: the rows holding none; the values offered for a column
    // leave its own filter out, in order, and stop after max + 1
    reader.setFilters({{QStringLiteral("会员姓名"), QVariant()}});
    EXPECT_EQ(reader.count().value(), Members / 5 - Members / 100);
    auto names = reader.values(QStringLiteral("会员姓名"), 10);
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names.value().size(), 3);
    EXPECT_TRUE(std::ranges::any_of(names.value(), [](const QVariant& v) { return v.isNull(); }));
    EXPECT_TRUE(names.value().contains(QStringLiteral("O'Brien")));
    auto types = reader.values(QStringLiteral("会员类型"), 1);
    ASSERT_TRUE(types.ok());
    ASSERT_EQ(types.value().size(), 2);
    auto balances = reader.values(QStringLiteral("卡内金额"), 5);
    ASSERT_TRUE(balances.ok());
    EXPECT_EQ(balances.value().size(), 6);
}

TEST_P(ListReaderTest, FooterCountsAndSumsToTheTenThousandthInOneStatement) {
    ListReader reader(members());
    ASSERT_TRUE(reader.first(1).ok());
    const QStringList sums{QStringLiteral("卡内金额"), QStringLiteral("会员积分")};
    const ListQuery statement = reader.footerStatement(sums);
    EXPECT_EQ(statement.sql.count(QStringLiteral("select")), 2);
    auto footer = reader.footer(sums, {QStringLiteral("卡内金额")});
    ASSERT_TRUE(footer.ok());
    EXPECT_EQ(footer.value().count, Members);
    // balances: 0..12 plus 0.0001 each, but every seventh empty
    Money expected;
    for (int i = 0; i < Members; ++i)
        if (i % 7 != 3)
            expected = expected + Money::fromInt(i % 13) + *Money::parse(u"0.0001");
    EXPECT_EQ(footer.value().sums.value(QStringLiteral("卡内金额")), expected);
    // no points at all: zero, not an error
    EXPECT_EQ(footer.value().sums.value(QStringLiteral("会员积分")), Money());
}

TEST_P(ListReaderTest, AStatementChangedWhileAReadRunsRetiresTheOldRead) {
    QObject receiver;
    ListReads reads;
    ListReader reader(members());
    ASSERT_TRUE(reader.first(1).ok());
    int staleReports = 0;
    reads.start(ListReads::Footer, slowCount(), &receiver,
                [&](const Result<ListReader::Rows>&) { ++staleReports; });
    ASSERT_TRUE(reads.isRunning(ListReads::Footer));
    // a new statement: the old read is stopped and never reports
    reader.setFilters({{QStringLiteral("会员类型"), QStringLiteral("金卡")}});
    std::optional<ListFooter> shown;
    reads.start(ListReads::Footer, reader.footerStatement({}), &receiver,
                [&](const Result<ListReader::Rows>& rows) {
                    ASSERT_TRUE(rows.ok());
                    shown = reader.footerOf(rows.value().value(0), {}, {});
                });
    EXPECT_TRUE(waitFor([&] { return shown.has_value() && reads.retiredCount() == 0; }));
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->count, Members / 2);
    EXPECT_FALSE(reads.isRunning(ListReads::Footer));
    QCoreApplication::processEvents();
    EXPECT_EQ(staleReports, 0);

    // a read waited for by its reader is done with: it reports no more
    reads.start(ListReads::Values, reader.valuesStatement(QStringLiteral("会员类型"), 5), &receiver,
                [&](const Result<ListReader::Rows>&) { ++staleReports; });
    auto taken = reads.take(ListReads::Values);
    ASSERT_TRUE(taken.has_value() && taken->ok());
    EXPECT_EQ(taken->value().size(), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(staleReports, 0);
}

TEST_P(ListReaderTest, AListClosedWhileAReadRunsStopsItAndLeavesTheConnectionUsable) {
    // The window goes before its reads or after them. A report into a
    // receiver that is gone writes freed memory (caught by the sanitizers);
    // one into a live receiver after its reads went is counted.
    struct Receiver : QObject {
        int reports = 0;
    };
    int reports = 0;
    for (const bool receiverFirst : {false, true}) {
        auto receiver = std::make_unique<Receiver>();
        auto reads = std::make_unique<ListReads>();
        reads->start(
            ListReads::Footer, slowCount(), receiver.get(),
            [window = receiver.get()](const Result<ListReader::Rows>&) { ++window->reports; });
        QThread::msleep(50);
        if (receiverFirst)
            receiver.reset();
        reads.reset();
        QCoreApplication::processEvents();
        if (receiver)
            reports += receiver->reports;
    }
    EXPECT_EQ(reports, 0);
    // the list's connection books at once
    execOk(QStringLiteral("update 会员库 set 会员积分 = ? where 会员卡号 = ?"),
           {QVariant::fromValue(Money::fromInt(1)), card(1)});
    ListReader reader(members());
    ASSERT_TRUE(reader.first(1).ok());
    EXPECT_EQ(reader.footer({QStringLiteral("会员积分")}, {QStringLiteral("会员积分")})
                  .value()
                  .sums.value(QStringLiteral("会员积分")),
              Money::fromInt(1));
}

TEST_P(ListReaderTest, BetweenPagesNoReadStaysOpenForABooking) {
    // another workstation writes between two pages; a booking here must not
    // find an old read still open on its connection ("database is locked")
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    const Db other(QStringLiteral("other"));
    ListReader reader(members());
    int pages = 0;
    ASSERT_TRUE(reader
                    .forEach(1000,
                             [&](const ListReader::Rows&) {
                                 ++pages;
                                 const QString update = QStringLiteral(
                                     "update 会员库 set 会员积分 = ? where 会员卡号 = ?");
                                 const QVariant points = QVariant::fromValue(Money::fromInt(pages));
                                 EXPECT_TRUE(other.exec(update, {points, card(pages)}).ok());
                                 Status booked = db.inTransaction([&]() -> Status {
                                     auto done = db.exec(update, {points, card(pages + 100)});
                                     return done ? Status{} : Status{Error{done.error()}};
                                 });
                                 EXPECT_TRUE(booked.ok()) << booked.error().toStdString();
                                 return true;
                             })
                    .ok());
    EXPECT_EQ(pages, Members / 1000);
}
