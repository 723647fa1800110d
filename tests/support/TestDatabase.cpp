#include "support/TestDatabase.h"

#include "store/Schema.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <atomic>

namespace {

const QString Maintenance = QStringLiteral("test-maintenance");

QString pgHost() {
    return qEnvironmentVariable("SHOP_TEST_PG_HOST");
}
QString pgPort() {
    return qEnvironmentVariable("SHOP_TEST_PG_PORT", QStringLiteral("5432"));
}
QString pgUser() {
    return qEnvironmentVariable("SHOP_TEST_PG_USER", QStringLiteral("postgres"));
}

QString serverString(const QString& database) {
    return QStringLiteral("Provider=SQLOLEDB.1;Password=;Persist Security Info=True;User ID=%1;"
                          "Initial Catalog=%2;Data Source=%3:%4;")
        .arg(pgUser(), database, pgHost(), pgPort());
}

Status maintenance(const QString& sql) {
    if (Status s = Connection::open(serverString(QStringLiteral("postgres")), Maintenance); !s)
        return s;
    auto done = Db(Maintenance).exec(sql);
    Connection::close(Maintenance);
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace

TestDatabase::TestDatabase(Engine engine) : m_engine(engine) {}

TestDatabase::~TestDatabase() {
    for (const QString& name : m_opened)
        Connection::close(name);
    if (!m_pgName.isEmpty())
        (void)maintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
}

Status TestDatabase::create(bool withSchema) {
    if (m_engine == Engine::Sqlite) {
        m_connectionString =
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1/data.db;")
                .arg(folder());
    } else {
        if (pgHost().isEmpty())
            return Error{QStringLiteral("the PostgreSQL test server is not running: run the tests "
                                        "with scripts/test.sh (SHOP_TEST_PG_HOST is not set)")};
        static std::atomic<int> counter{0};
        m_pgName =
            QStringLiteral("shoptest_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter++);
        if (Status s = maintenance(QStringLiteral("CREATE DATABASE %1").arg(m_pgName)); !s)
            return s;
        m_connectionString = serverString(m_pgName);
    }
    if (Status s = openConnection(Connection::Shared); !s)
        return s;
    if (withSchema)
        return Schema::create(Db());
    return {};
}

Status TestDatabase::openConnection(const QString& name) const {
    {
        // two workstations of a test open theirs from threads of their own
        std::lock_guard lock(m_openedMutex);
        if (!m_opened.contains(name))
            m_opened << name;
    }
    return Connection::open(m_connectionString, name);
}

bool postgresConfigured() {
    return !pgHost().isEmpty();
}

bool runningInCi() {
    const QString ci = qEnvironmentVariable("CI");
    return !ci.isEmpty() && ci != u"0" && ci.compare(u"false", Qt::CaseInsensitive) != 0;
}

std::string noPostgresReason() {
    return "no PostgreSQL test server: SHOP_TEST_PG_HOST is not set (scripts/test.sh starts one)";
}

void EngineTest::SetUp() {
    SHOP_REQUIRE_ENGINE(GetParam());
    database = std::make_unique<TestDatabase>(GetParam());
    Status created = database->create();
    ASSERT_TRUE(created.ok()) << created.error().toStdString();
}

void EngineTest::TearDown() {
    database.reset();
}

void EngineTest::execOk(const QString& sql, const QVariantList& params) {
    auto done = db.exec(sql, params);
    ASSERT_TRUE(done.ok()) << done.error().toStdString() << " in " << sql.toStdString();
}

qint64 EngineTest::count(const QString& table, const QString& where, const QVariantList& params) {
    QString sql = QStringLiteral("select count(*) from ") + Db::quoted(table);
    if (!where.isEmpty())
        sql += QStringLiteral(" where ") + where;
    auto n = db.scalarInteger(sql, params);
    EXPECT_TRUE(n.ok()) << n.error().toStdString();
    return n.ok() ? n.value().value_or(0) : -1;
}

void EngineTest::failInsertsInto(const QString& table) {
    if (db.engine() == Engine::Sqlite) {
        execOk(QStringLiteral("CREATE TRIGGER injected_failure BEFORE INSERT ON %1 "
                              "BEGIN SELECT RAISE(ABORT, 'injected failure'); END")
                   .arg(Db::quoted(table)));
    } else {
        execOk(
            QStringLiteral("CREATE OR REPLACE FUNCTION injected_failure() RETURNS trigger AS "
                           "$$ BEGIN RAISE EXCEPTION 'injected failure'; END $$ LANGUAGE plpgsql"));
        execOk(QStringLiteral("CREATE TRIGGER injected_failure BEFORE INSERT ON %1 "
                              "FOR EACH ROW EXECUTE FUNCTION injected_failure()")
                   .arg(Db::quoted(table)));
    }
}

std::string engineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::Sqlite ? "SQLite" : "PostgreSQL";
}

void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
