#include "store/Dialect.h"
#include "store/Schema.h"

#include <QSqlError>
#include <gtest/gtest.h>

TEST(DialectTest, OnlyDeadlocksAndSerializationFailuresAreWorthRetrying) {
    struct Case {
        Engine engine;
        const char* code;
        bool retry;
    };
    const Case cases[] = {
        {Engine::Sqlite, "5", false},       {Engine::Sqlite, "6", false},
        {Engine::Sqlite, "19", false},      {Engine::Sqlite, "40001", false},
        {Engine::Postgres, "40001", true},  {Engine::Postgres, "40P01", true},
        {Engine::Postgres, "23505", false}, {Engine::Postgres, "5", false},
        {Engine::Postgres, "", false},
    };
    for (const Case& c : cases) {
        const QSqlError error(QStringLiteral("driver"), QStringLiteral("database"),
                              QSqlError::StatementError, QString::fromLatin1(c.code));
        EXPECT_EQ(Dialect::of(c.engine).isRetryable(error), c.retry) << c.code;
    }
}

TEST(DialectTest, BooleanDefaultsAndMoneyAsEachEngineStoresIt) {
    EXPECT_EQ(Dialect::of(Engine::Sqlite).columnExtra(QStringLiteral("DEFAULT TRUE")),
              QStringLiteral("DEFAULT 1"));
    EXPECT_EQ(Dialect::of(Engine::Postgres).columnExtra(QStringLiteral("DEFAULT FALSE")),
              QStringLiteral("DEFAULT FALSE"));
    const QVariant amount = QVariant::fromValue(Money::fromUnits(-12345));
    EXPECT_EQ(Dialect::of(Engine::Sqlite).encode(amount), QVariant(qlonglong(-12345)));
    EXPECT_EQ(Dialect::of(Engine::Postgres).encode(amount).toString(), QStringLiteral("-1.2345"));
    EXPECT_EQ(Dialect::of(Engine::Sqlite).decodeMoney(QVariant(qlonglong(-12345))),
              Money::fromUnits(-12345));
    EXPECT_EQ(Dialect::of(Engine::Postgres).decodeMoney(QVariant(qlonglong(3))), Money::fromInt(3));
}

TEST(SchemaTextLengthTest, TextAndLongTextColumnsHaveTheirLengthsOthersNone) {
    EXPECT_EQ(Schema::textLength(QStringLiteral("会员库"), QStringLiteral("会员卡号")), 255);
    EXPECT_EQ(Schema::textLength(QStringLiteral("会员库"), QStringLiteral("备注")), 4000);
    EXPECT_EQ(Schema::textLength(QStringLiteral("会员库"), QStringLiteral("卡内金额")), 0);
    EXPECT_EQ(Schema::textLength(QStringLiteral("会员库"), QStringLiteral("没有的列")), 0);
    EXPECT_EQ(Schema::textLength(QStringLiteral("没有的表"), QStringLiteral("会员卡号")), 0);
}
