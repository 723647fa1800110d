#include "store/Db.h"
#include "store/BackgroundRead.h"
#include "store/Connection.h"
#include "support/TestDatabase.h"

#include "store/Schema.h"

#include <QSqlDatabase>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <thread>

class DbTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(DbTest);

TEST_P(DbTest, TypedTextRoundTripsAndTouchesNoOtherRow) {
    const QString hostile = QStringLiteral("O'Brien \"x\"; delete from 会员库;-- 100% a_b \\");
    const QString insert = QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)");
    execOk(insert, {QStringLiteral("1"), QStringLiteral("张三")});
    execOk(insert, {QStringLiteral("2"), hostile});
    auto changed = db.exec(QStringLiteral("update 会员库 set 住址 = ? where 会员姓名 = ?"),
                           {hostile, hostile});
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.value(), 1);
    auto rows = db.select(QStringLiteral("select * from 会员库 order by 会员卡号"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    EXPECT_EQ(rows.value().text(QStringLiteral("会员姓名")), QStringLiteral("张三"));
    EXPECT_TRUE(rows.value().isNull(QStringLiteral("住址")));
    ASSERT_TRUE(rows.value().next());
    EXPECT_EQ(rows.value().text(QStringLiteral("会员姓名")), hostile);
    EXPECT_EQ(rows.value().text(QStringLiteral("住址")), hostile);
}

TEST_P(DbTest, ContainsSearchTreatsPercentAndUnderscoreAsThemselves) {
    const QString insert = QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)");
    execOk(insert, {QStringLiteral("1"), QStringLiteral("满100%减")});
    execOk(insert, {QStringLiteral("2"), QStringLiteral("满1000减")});
    execOk(insert, {QStringLiteral("3"), QStringLiteral("a_b")});
    execOk(insert, {QStringLiteral("4"), QStringLiteral("axb")});
    const QString where = db.containsCondition(Db::quoted(QStringLiteral("会员姓名")));
    EXPECT_EQ(count(QStringLiteral("会员库"), where, {Db::containsPattern(QStringLiteral("100%"))}),
              1);
    EXPECT_EQ(count(QStringLiteral("会员库"), where, {Db::containsPattern(QStringLiteral("_"))}),
              1);
    EXPECT_EQ(count(QStringLiteral("会员库"), where, {Db::containsPattern(QStringLiteral("满"))}),
              2);
    // a money column is searched as the amount it holds: 7 is "7", never "70000" or "7.0000"
    execOk(QStringLiteral("update 会员库 set 卡内金额 = ?"),
           {QVariant::fromValue(Money::fromInt(7))});
    const QString money =
        db.containsCondition(Db::quoted(QStringLiteral("卡内金额")), ColumnType::Money);
    EXPECT_EQ(count(QStringLiteral("会员库"), money, {Db::containsPattern(QStringLiteral("7"))}),
              4);
    EXPECT_EQ(count(QStringLiteral("会员库"), money, {Db::containsPattern(QStringLiteral("0"))}),
              0);
}

TEST_P(DbTest, FailedTransactionLeavesNothingBehind) {
    failInsertsInto(QStringLiteral("收入记录"));
    Status outcome = db.inTransaction([&]() -> Status {
        auto a = db.exec(QStringLiteral("insert into 会员库(会员卡号) values(?)"),
                         {QStringLiteral("9")});
        if (!a)
            return Error{a.error()};
        auto b = db.addTo(QStringLiteral("系统信息"), QStringLiteral("出租单号"), 1,
                          QStringLiteral("销售单号"), 0);
        if (!b)
            return Error{b.error()};
        auto c = db.exec(QStringLiteral("insert into 收入记录(项目) values(?)"),
                         {QStringLiteral("租金")});
        if (!c)
            return Error{c.error()};
        return {};
    });
    ASSERT_FALSE(outcome.ok());
    EXPECT_NE(outcome.error().indexOf(QStringLiteral("injected failure")), -1)
        << outcome.error().toStdString();
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
    EXPECT_EQ(count(QStringLiteral("系统信息"), QStringLiteral("出租单号 = 0")), 1);
    // the connection is usable afterwards
    execOk(QStringLiteral("insert into 会员库(会员卡号) values(?)"), {QStringLiteral("9")});
}

TEST_P(DbTest, GuardRollsBackUnlessCommitted) {
    {
        Transaction transaction(db);
        ASSERT_TRUE(transaction.started().ok());
        execOk(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("磁带")});
    }
    EXPECT_EQ(count(QStringLiteral("介质")), 1);
    {
        Transaction transaction(db);
        execOk(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("磁带")});
        ASSERT_TRUE(transaction.commit().ok());
    }
    EXPECT_EQ(count(QStringLiteral("介质")), 2);
}

TEST_P(DbTest, RelativeUpdatesCountNullAsZero) {
    execOk(QStringLiteral("insert into 会员库(会员卡号,卡内金额) values(?,?)"),
           {QStringLiteral("1"), QVariant()});
    auto changed = db.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                            QVariant::fromValue(*Money::parse(u"-12.35")),
                            QStringLiteral("会员卡号"), QStringLiteral("1"));
    ASSERT_TRUE(changed.ok()) << changed.error().toStdString();
    EXPECT_EQ(changed.value(), 1);
    ASSERT_TRUE(db.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                         QVariant::fromValue(*Money::parse(u"0.0001")), QStringLiteral("会员卡号"),
                         QStringLiteral("1"))
                    .ok());
    EXPECT_EQ(db.scalarMoney(QStringLiteral("select 卡内金额 from 会员库")).value().toString(),
              QStringLiteral("-12.3499"));
    // a second workstation's change in between is kept
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    Db other(QStringLiteral("other"));
    ASSERT_TRUE(other
                    .addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                           QVariant::fromValue(Money::fromInt(100)), QStringLiteral("会员卡号"),
                           QStringLiteral("1"))
                    .ok());
    EXPECT_EQ(db.scalarMoney(QStringLiteral("select 卡内金额 from 会员库")).value().toString(),
              QStringLiteral("87.6501"));
    auto none = db.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"), 1,
                         QStringLiteral("会员卡号"), QStringLiteral("missing"));
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none.value(), 0);
}

TEST_P(DbTest, ReadsTypedColumnsAndNulls) {
    const QDateTime moment(QDate(2026, 12, 9), QTime(14, 5, 9));
    execOk(QStringLiteral("insert into 会员库(会员卡号,有效期,登记日期,会员积分) values(?,?,?,?)"),
           {QStringLiteral("1"), moment, QDate(2026, 1, 2),
            QVariant::fromValue(*Money::parse(u"12.5"))});
    execOk(QStringLiteral("insert into 会员库(会员卡号) values(?)"), {QStringLiteral("2")});
    auto rows = db.select(QStringLiteral("select * from 会员库 order by 会员卡号"));
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    EXPECT_EQ(rows.value().dateTime(QStringLiteral("有效期")), moment);
    EXPECT_EQ(rows.value().text(QStringLiteral("有效期")), QStringLiteral("2026-12-09 14:05:09"));
    EXPECT_EQ(rows.value().date(QStringLiteral("登记日期")), QDate(2026, 1, 2));
    EXPECT_EQ(rows.value().money(QStringLiteral("会员积分")).toString(), QStringLiteral("12.5"));
    ASSERT_TRUE(rows.value().next());
    EXPECT_EQ(rows.value().money(QStringLiteral("卡内金额")), Money());
    EXPECT_EQ(rows.value().integer(QStringLiteral("会员积分")), 0);
    EXPECT_FALSE(rows.value().dateTime(QStringLiteral("有效期")).isValid());
    EXPECT_EQ(rows.value().text(QStringLiteral("会员姓名")), QString());
    // date-times compare with the start of a given day
    EXPECT_EQ(count(QStringLiteral("会员库"), QStringLiteral("有效期 >= ?"), {QDate(2026, 12, 9)}),
              1);
    EXPECT_EQ(count(QStringLiteral("会员库"), QStringLiteral("有效期 >= ?"), {QDate(2026, 12, 10)}),
              0);
}

TEST_P(DbTest, NullPermissionReadsAsNo) {
    execOk(QStringLiteral("insert into 管理员(\"AdminName\",pwd,会员类型) values(?,?,?)"),
           {QStringLiteral("店员"), QStringLiteral("1"), QVariant()});
    auto row = db.select(QStringLiteral("select * from 管理员 where \"AdminName\" = ?"),
                         {QStringLiteral("店员")});
    ASSERT_TRUE(row.ok());
    ASSERT_TRUE(row.value().next());
    EXPECT_FALSE(row.value().yesNo(QStringLiteral("会员类型")));
    EXPECT_FALSE(row.value().yesNo(QStringLiteral("清理数据")));
}

TEST_P(DbTest, SearchColumnMustBeARealColumn) {
    EXPECT_TRUE(db.hasColumn(QStringLiteral("会员库"), QStringLiteral("会员姓名")));
    EXPECT_FALSE(db.hasColumn(QStringLiteral("会员库"), QStringLiteral("会员姓名 or 1=1")));
    EXPECT_FALSE(db.hasColumn(QStringLiteral("会员库"), QString()));
    EXPECT_FALSE(db.hasColumn(QStringLiteral("会员库"), QStringLiteral("pwd")));
}

TEST_P(DbTest, InsertGivesTheNewKey) {
    auto first =
        db.insert(QStringLiteral("insert into 收入记录(项目) values(?)"), {QStringLiteral("租金")});
    auto second = db.insert(QStringLiteral("insert into 销售库(条形码) values(?)"),
                            {QStringLiteral("S1")}, QStringLiteral("商品id"));
    ASSERT_TRUE(first.ok()) << first.error().toStdString();
    ASSERT_TRUE(second.ok()) << second.error().toStdString();
    EXPECT_EQ(first.value(), 1);
    EXPECT_EQ(second.value(), 1);
}

TEST_P(DbTest, StatementErrorComesBackAsText) {
    auto bad = db.exec(QStringLiteral("update 无此表 set a = 1"));
    ASSERT_FALSE(bad.ok());
    EXPECT_FALSE(bad.error().isEmpty());
}

TEST_P(DbTest, TextTheEnginesCannotKeepIsRefusedAndTheRestRoundTrips) {
    const QString insert = QStringLiteral("insert into 会员库(会员卡号,会员姓名) values(?,?)");
    const QString refused[] = {
        QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
        QStringLiteral("x") + QChar(0xD800),    // high surrogate alone
        QChar(0xDC00) + QStringLiteral("y"),    // low surrogate alone
        QString(QChar(0xDC00)) + QChar(0xD800), // a pair the wrong way round
    };
    for (const QString& text : refused) {
        auto done = db.exec(insert, {QStringLiteral("1"), text});
        ASSERT_FALSE(done.ok());
        EXPECT_EQ(done.error(), Db::UnstorableText);
    }
    EXPECT_EQ(count(QStringLiteral("会员库")), 0);
    const QString kept = QStringLiteral("😀 عربي e\u0301 𠀀");
    execOk(insert, {QStringLiteral("2"), kept});
    auto name = db.select(QStringLiteral("select 会员姓名 from 会员库"));
    ASSERT_TRUE(name.ok() && name.value().next());
    EXPECT_EQ(name.value().text(QStringLiteral("会员姓名")), kept);
}

TEST_P(DbTest, AnOverflowingAmountIsNeverStored) {
    execOk(QStringLiteral("insert into 会员库(会员卡号,卡内金额) values(?,?)"),
           {QStringLiteral("1"), QVariant::fromValue(Money::fromUnits(Money::MaxUnits - 5))});
    auto overflowed = db.exec(QStringLiteral("update 会员库 set 卡内金额 = ?"),
                              {QVariant::fromValue(Money::fromUnits(Money::MaxUnits) * 2)});
    ASSERT_FALSE(overflowed.ok());
    EXPECT_EQ(overflowed.error(), Db::AmountOutOfRange);
    // a relative update past the range is refused, not turned into a real number
    auto added = db.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                          QVariant::fromValue(Money::fromInt(1)), QStringLiteral("会员卡号"),
                          QStringLiteral("1"));
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(db.scalarMoney(QStringLiteral("select 卡内金额 from 会员库")).value(),
              Money::fromUnits(Money::MaxUnits - 5));
    auto small = db.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                          QVariant::fromValue(Money::fromUnits(5)), QStringLiteral("会员卡号"),
                          QStringLiteral("1"));
    ASSERT_TRUE(small.ok()) << small.error().toStdString();
    EXPECT_EQ(small.value(), 1);
}

TEST_P(DbTest, TransactionsDoNotNest) {
    Status inner;
    Status outer = db.inTransaction([&]() -> Status {
        if (auto a = db.exec(QStringLiteral("insert into 介质(名称) values('外')")); !a)
            return Error{a.error()};
        inner = db.inTransaction(
            [&]() -> Status { return Error{QStringLiteral("the inner work must not run")}; });
        return inner;
    });
    ASSERT_FALSE(inner.ok());
    EXPECT_TRUE(inner.error().contains(QStringLiteral("事务不能嵌套")));
    ASSERT_FALSE(outer.ok());
    EXPECT_EQ(count(QStringLiteral("介质"), QStringLiteral("名称 = '外'")), 0);
    // the connection takes a new transaction afterwards
    EXPECT_TRUE(db.inTransaction([] { return Status(); }).ok());
}

TEST_P(DbTest, AStatementThatFailedInsideMakesTheCommitFail) {
    Status outcome = db.inTransaction([&]() -> Status {
        (void)db.exec(QStringLiteral("insert into 没有这个表(x) values(1)")); // error ignored
        (void)db.exec(QStringLiteral("insert into 介质(名称) values('磁带')"));
        return {};
    });
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.error().startsWith(QStringLiteral("没有保存")))
        << outcome.error().toStdString();
    EXPECT_EQ(count(QStringLiteral("介质"), QStringLiteral("名称 = '磁带'")), 0);
}

TEST_P(DbTest, TwoWorkstationsCreatingTheSchemaAtOnceBothOpenIt) {
    TestDatabase empty(GetParam());
    ASSERT_TRUE(empty.create(false).ok());
    std::latch start(2);
    std::atomic<int> ready{0};
    auto station = [&](int index) {
        const QString name = QStringLiteral("creator%1").arg(index);
        if (empty.openConnection(name).ok()) {
            start.arrive_and_wait();
            if (Schema::openOrCreate(Db(name)).ok())
                ++ready;
        } else {
            start.count_down();
        }
        Connection::close(name);
    };
    std::thread a(station, 0), b(station, 1);
    a.join();
    b.join();
    EXPECT_EQ(ready, 2);
    EXPECT_EQ(Schema::version(Db()).value(), Schema::CurrentVersion);
    EXPECT_EQ(count(QStringLiteral("管理员")), 1);
    EXPECT_EQ(count(QStringLiteral("系统信息")), 1);
}

TEST_P(DbTest, ADeadlockedBookingIsRunAgain) {
    if (GetParam() != Engine::Postgres)
        GTEST_SKIP() << "SQLite takes the write lock at BEGIN: its writers never deadlock";
    execOk(QStringLiteral("insert into 会员库(会员卡号,卡内金额) values('A',?),('B',?)"),
           {QVariant::fromValue(Money()), QVariant::fromValue(Money())});
    std::latch start(2), firstLocked(2);
    std::atomic<int> booked{0}, attempts{0};
    auto station = [&](int index) {
        const QString name = QStringLiteral("station%1").arg(index);
        if (!database->openConnection(name).ok()) {
            start.count_down();
            firstLocked.count_down();
            return;
        }
        Db other(name);
        start.arrive_and_wait();
        bool first = true;
        const QString order[2][2] = {{QStringLiteral("A"), QStringLiteral("B")},
                                     {QStringLiteral("B"), QStringLiteral("A")}};
        Status done = other.inTransaction([&]() -> Status {
            ++attempts;
            for (int step = 0; step < 2; ++step) {
                auto changed = other.addTo(QStringLiteral("会员库"), QStringLiteral("卡内金额"),
                                           QVariant::fromValue(Money::fromInt(1)),
                                           QStringLiteral("会员卡号"), order[index][step]);
                if (!changed)
                    return Error{changed.error()};
                if (step == 0 && first) { // both hold their first row before taking the second
                    first = false;
                    firstLocked.arrive_and_wait();
                }
            }
            return {};
        });
        if (done)
            ++booked;
        else
            ADD_FAILURE() << done.error().toStdString();
        Connection::close(name);
    };
    std::thread a(station, 0), b(station, 1);
    a.join();
    b.join();
    EXPECT_EQ(booked, 2);
    EXPECT_EQ(attempts, 3) << "one of the two was chosen as the deadlock victim and ran again";
    EXPECT_EQ(db.scalarMoney(QStringLiteral("select sum(卡内金额) from 会员库")).value(),
              Money::fromInt(4));
}

TEST(Connection, UnusableStringsAreErrors) {
    EXPECT_FALSE(Connection::open(QStringLiteral("0"), QStringLiteral("bad")).ok());
    EXPECT_FALSE(Connection::open(QString(), QStringLiteral("bad")).ok());
    EXPECT_FALSE(
        Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;"), QStringLiteral("bad"))
            .ok());
    Connection::Options noCreate;
    noCreate.createMissingFile = false;
    EXPECT_FALSE(Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data "
                                                 "Source=/nonexistent/dir/x.db"),
                                  QStringLiteral("bad"), noCreate)
                     .ok());
    Connection::Options quick;
    quick.timeoutSeconds = 2;
    EXPECT_FALSE(Connection::open(QStringLiteral("Provider=SQLOLEDB.1;Password=x;User ID=x;"
                                                 "Initial Catalog=x;Data Source=127.0.0.1:1;"),
                                  QStringLiteral("bad"), quick)
                     .ok());
    EXPECT_FALSE(Db(QStringLiteral("bad")).isOpen());
    // a port beyond the range is said, not passed on
    auto parsed = ConnectionSpec::parse(
        QStringLiteral("Provider=SQLOLEDB.1;Data Source=host:543434;Initial Catalog=x"), {});
    ASSERT_FALSE(parsed.ok());
    EXPECT_EQ(parsed.error(), QStringLiteral("连接字符串的端口号不正确: 543434"));
}

TEST(Connection, ParsesBothKindsOfString) {
    auto file = ConnectionSpec::parse(
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.db;Persist Security "
                       "Info=False;Jet OLEDB:Database Password=1"),
        QStringLiteral("/opt/shop"));
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file->engine, Engine::Sqlite);
    EXPECT_EQ(file->file, QStringLiteral("/opt/shop/data.db"));
    auto server = ConnectionSpec::parse(
        QStringLiteral("Provider=SQLOLEDB.1;Password=pw;Persist Security Info=True;User "
                       "ID=shop;Initial Catalog=书店;Data Source=db.local:6543;"),
        QStringLiteral("/opt/shop"));
    ASSERT_TRUE(server.ok());
    EXPECT_EQ(server->engine, Engine::Postgres);
    EXPECT_EQ(server->host, QStringLiteral("db.local"));
    EXPECT_EQ(server->port, 6543);
    EXPECT_EQ(server->database, QStringLiteral("书店"));
    EXPECT_EQ(server->user, QStringLiteral("shop"));
    EXPECT_EQ(server->password, QStringLiteral("pw"));
}

TEST_P(DbTest, KeptStatementsServeNestedReadsAndLeaveNoReadOpen) {
    const QString insert = QStringLiteral("insert into 介质(名称) values(?)");
    for (const char* name : {"磁带", "光盘"})
        execOk(insert, {QString::fromUtf8(name)});
    const QString byName = QStringLiteral("select 名称 from 介质 where 名称 <> ? order by 名称");
    // (PostgreSQL's driver streams a forward-only read, so there no second
    // read can run on the connection while the first is open)
    if (GetParam() == Engine::Sqlite) {
        auto outer = db.select(byName, {QStringLiteral("-")});
        ASSERT_TRUE(outer.ok());
        QStringList seen;
        while (outer.value().next()) {
            // the same statement again while the first is still being read
            auto inner = db.select(byName, {outer.value().text(QStringLiteral("名称"))});
            ASSERT_TRUE(inner.ok());
            int others = 0;
            while (inner.value().next())
                ++others;
            seen << QStringLiteral("%1:%2")
                        .arg(outer.value().text(QStringLiteral("名称")))
                        .arg(others);
        }
        EXPECT_EQ(seen, QStringList({QStringLiteral("光盘:2"), QStringLiteral("图书:2"),
                                     QStringLiteral("磁带:2")}));
    }
    for (const char* name : {"光盘", "磁带"}) {
        auto rows = db.select(byName, {QString::fromUtf8(name)});
        ASSERT_TRUE(rows.ok());
        ASSERT_TRUE(rows.value().next());
        EXPECT_EQ(rows.value().text(QStringLiteral("名称")), QString::fromUtf8(name) == u"光盘"
                                                                 ? QStringLiteral("图书")
                                                                 : QStringLiteral("光盘"));
    }
    EXPECT_GE(Db::cachedStatementCount(db.connectionName()), 1);

    // a lookup on this workstation, a write on another, then a booking here:
    // a read left open would pin an old snapshot and fail the booking at once
    ASSERT_EQ(db.scalarInteger(QStringLiteral("select count(*) from 介质 where 名称 <> ?"),
                               {QStringLiteral("-")})
                  .value(),
              3);
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    ASSERT_TRUE(Db(QStringLiteral("other")).exec(insert, {QStringLiteral("胶片")}).ok());
    Status booked = db.inTransaction([&]() -> Status {
        auto done = db.exec(insert, {QStringLiteral("唱片")});
        return done ? Status{} : Status{Error{done.error()}};
    });
    EXPECT_TRUE(booked.ok()) << booked.error().toStdString();
    EXPECT_EQ(count(QStringLiteral("介质")), 5);

    // reopened under the same name, the kept statements are not reused
    ASSERT_TRUE(database->openConnection(Connection::Shared).ok());
    EXPECT_EQ(Db::cachedStatementCount(db.connectionName()), 0);
    EXPECT_EQ(db.scalarInteger(QStringLiteral("select count(*) from 介质 where 名称 <> ?"),
                               {QStringLiteral("-")})
                  .value(),
              5);
}

TEST_P(DbTest, AReadSnapshotSeesNoBookingCommittedMeanwhile) {
    const QString insert = QStringLiteral("insert into 介质(名称) values(?)");
    const QString media = QStringLiteral("select count(*) from 介质 where 名称 <> ?");
    ASSERT_TRUE(database->openConnection(QStringLiteral("other")).ok());
    const Db other(QStringLiteral("other"));
    std::optional<qint64> before, after;
    Status nested;
    Status read = db.inReadSnapshot([&]() -> Status {
        before = db.scalarInteger(media, {QStringLiteral("-")}).value();
        // another workstation books meanwhile
        if (auto booked = other.exec(insert, {QStringLiteral("胶片")}); !booked)
            return Error{booked.error()};
        after = db.scalarInteger(media, {QStringLiteral("-")}).value();
        nested = db.inTransaction([] { return Status(); });
        return {};
    });
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(nested.ok());
    // over when it returns: the row is seen and this workstation can book
    EXPECT_FALSE(db.inTransactionNow());
    EXPECT_EQ(db.scalarInteger(media, {QStringLiteral("-")}).value(), 2);
    EXPECT_TRUE(db.inTransaction([&]() -> Status {
                      auto done = db.exec(insert, {QStringLiteral("唱片")});
                      return done ? Status{} : Status{Error{done.error()}};
                  }).ok());
    // work's refusal comes back; inside a booking a snapshot is refused
    Status refused = db.inReadSnapshot([] { return Status{Error{QStringLiteral("不读了")}}; });
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QStringLiteral("不读了"));
    Status inside = db.inTransaction([&] { return db.inReadSnapshot([] { return Status(); }); });
    EXPECT_FALSE(inside.ok());
    EXPECT_FALSE(db.inTransactionNow());
}

// A statement on a connection the server has dropped says in our words that
// nothing was done, before the driver's text.
TEST(DbServerTest, LostConnectionIsSaidPlainly) {
    SHOP_REQUIRE_ENGINE(Engine::Postgres);
    TestDatabase database(Engine::Postgres);
    ASSERT_TRUE(database.create().ok());
    ASSERT_TRUE(database.openConnection(QStringLiteral("other")).ok());
    auto pid = Db().scalarInteger(QStringLiteral("select pg_backend_pid()"));
    ASSERT_TRUE(pid.ok() && pid.value());
    ASSERT_TRUE(Db(QStringLiteral("other"))
                    .exec(QStringLiteral("select pg_terminate_backend(?)"), {*pid.value()})
                    .ok());
    auto lost = Db().exec(QStringLiteral("update 系统信息 set 销售单号 = 销售单号 + 1"));
    ASSERT_FALSE(lost.ok());
    EXPECT_TRUE(
        lost.error().startsWith(QStringLiteral("与数据库服务器的连接出错,本次操作没有完成(")))
        << lost.error().toStdString();
}

TEST_P(DbTest, ABackgroundReadSeesTheRowsAndStopsWhenCancelled) {
    execOk(QStringLiteral("insert into 会员库(会员卡号,卡内金额) values(?,?)"),
           {QStringLiteral("7"), QVariant::fromValue(Money::fromInt(12))});
    QObject receiver;
    // its own connection reads what this one committed
    auto read = BackgroundRead::start(
        Connection::Shared, QStringLiteral("select 会员卡号 from 会员库 where 卡内金额 > ?"),
        {QVariant::fromValue(Money::fromInt(1))}, &receiver, [] {});
    auto rows = read->result();
    ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
    EXPECT_EQ(rows.value(), (BackgroundRead::Rows{{QStringLiteral("7")}}));

    // a count that would take minutes ends at once, as an error
    const QString endless = QStringLiteral(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000000000) "
        "select count(*) from n");
    for (const int waitMs : {0, 300}) {
        auto long_ = BackgroundRead::start(Connection::Shared, endless, {}, &receiver, [] {});
        QThread::msleep(waitMs);
        long_->cancel();
        EXPECT_FALSE(long_->result().ok()) << "waited " << waitMs << " ms";
    }
    // the window's own connection is untouched
    EXPECT_TRUE(db.select(QStringLiteral("select 1")).ok());
}
