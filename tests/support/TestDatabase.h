#pragma once

#include "store/Connection.h"
#include "store/Db.h"

#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>

// A fresh database for one test: a SQLite file in a temporary folder, or a
// new database on the throw-away PostgreSQL server that scripts/test.sh
// starts (SHOP_TEST_PG_HOST, SHOP_TEST_PG_PORT). Without that server the
// PostgreSQL tests skip with the reason on a developer's machine and fail
// in CI (SHOP_REQUIRE_ENGINE).
class TestDatabase {
public:
    explicit TestDatabase(Engine engine);
    ~TestDatabase();

    // Creates the database; with schema, also the tables and first rows.
    Status create(bool withSchema = true);
    // Opens another connection to the same database (a second workstation).
    Status openConnection(const QString& name) const;

    Engine engine() const { return m_engine; }
    const QString& connectionString() const { return m_connectionString; }
    QString folder() const { return m_dir.path(); }

private:
    Engine m_engine;
    QTemporaryDir m_dir;
    QString m_pgName;
    QString m_connectionString;
    mutable std::mutex m_openedMutex;
    mutable QStringList m_opened;
};

// Base of tests that run once per engine with a fresh database opened on
// the shared connection, schema and first rows in place.
class EngineTest : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs a statement that must succeed.
    void execOk(const QString& sql, const QVariantList& params = {});
    qint64 count(const QString& table, const QString& where = {}, const QVariantList& params = {});
    // Makes every insert into table fail from now on (a failure in the
    // middle of a booking).
    void failInsertsInto(const QString& table);

    std::unique_ptr<TestDatabase> database;
    Db db;
};

// Whether a PostgreSQL test server is named (SHOP_TEST_PG_HOST).
bool postgresConfigured();
// Whether the tests run in CI (the CI variable is set and not "0" or empty).
bool runningInCi();
// Why a PostgreSQL test cannot run here.
std::string noPostgresReason();

// First statement of a test (or SetUp) that needs engine: without a
// PostgreSQL server the test is skipped with the reason, or fails in CI,
// where the server must be there.
#define SHOP_REQUIRE_ENGINE(engine)                                                                \
    do {                                                                                           \
        if ((engine) == Engine::Postgres && !postgresConfigured()) {                               \
            if (runningInCi())                                                                     \
                FAIL() << noPostgresReason();                                                      \
            GTEST_SKIP() << noPostgresReason();                                                    \
        }                                                                                          \
    } while (false)

std::string engineName(const ::testing::TestParamInfo<Engine>& info);

#define SHOP_ON_BOTH_ENGINES(Suite)                                                                \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::testing::Values(Engine::Sqlite, Engine::Postgres),  \
                             engineName)

// Pretty names in failure messages.
void PrintTo(const QString& text, std::ostream* os);
