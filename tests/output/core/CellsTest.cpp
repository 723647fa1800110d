#include "output/core/Cells.h"
#include "store/Schema.h"
#include "support/TestDatabase.h"

#include <QSet>
#include <gtest/gtest.h>

// On SQLite a money, date or yes/no column is known only by its name; the
// names must match what the schema really creates (PostgreSQL says it).
TEST(CellsTest, NamedKindsMatchTheSchema) {
    SHOP_REQUIRE_ENGINE(Engine::Postgres);
    TestDatabase database(Engine::Postgres);
    ASSERT_TRUE(database.create().ok());
    auto rows = Db().select(
        QStringLiteral("select column_name, data_type from information_schema.columns "
                       "where table_schema = 'public' and table_name not in ('schema_version', "
                       "'booking_keys')"));
    ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
    const QHash<QString, Cells::Kind> byType = {
        {QStringLiteral("numeric"), Cells::Kind::Money},
        {QStringLiteral("date"), Cells::Kind::Date},
        {QStringLiteral("timestamp without time zone"), Cells::Kind::DateTime},
        {QStringLiteral("boolean"), Cells::Kind::YesNo},
        {QStringLiteral("bytea"), Cells::Kind::Picture}};
    QHash<Cells::Kind, QSet<QString>> found;
    int columns = 0;
    while (rows.value().next()) {
        ++columns;
        const QString name = rows.value().text(QStringLiteral("column_name"));
        const QString type = rows.value().text(QStringLiteral("data_type"));
        const auto kind = byType.value(type, Cells::Kind::Plain);
        found[kind].insert(name);
        if (kind != Cells::Kind::Plain) {
            EXPECT_TRUE(Cells::namesOf(kind).contains(name))
                << name.toStdString() << " " << type.toStdString();
        }
    }
    EXPECT_GT(columns, 150);
    for (const auto kind : {Cells::Kind::Money, Cells::Kind::Date, Cells::Kind::DateTime,
                            Cells::Kind::YesNo, Cells::Kind::Picture}) {
        for (const QString& name : Cells::namesOf(kind)) {
            EXPECT_TRUE(found[kind].contains(name)) << name.toStdString();
            // and no plain column shares the name, but for two permissions
            // named like the text columns 会员类型 and 商品类型: a text value
            // there stays text (see below)
            if (kind != Cells::Kind::YesNo) {
                EXPECT_FALSE(found[Cells::Kind::Plain].contains(name)) << name.toStdString();
            }
        }
    }
}

TEST(CellsTest, StoredValuesReadAsWhatTheyMean) {
    using K = Cells::Kind;
    using V = Cells::Value;
    const auto lite = [](const QVariant& v, K k) { return Cells::read(v, k, Engine::Sqlite); };
    const auto pg = [](const QVariant& v, K k) { return Cells::read(v, k, Engine::Postgres); };
    EXPECT_EQ(Cells::displayText(lite(qlonglong(125000), K::Money)), QStringLiteral("12.5"));
    EXPECT_EQ(Cells::displayText(lite(qlonglong(-8097), K::Money)), QStringLiteral("-0.8097"));
    EXPECT_EQ(Cells::displayText(pg(QStringLiteral("12.5000"), K::Money)), QStringLiteral("12.5"));
    EXPECT_EQ(lite(QVariant(), K::Money).type, V::Empty);
    EXPECT_EQ(Cells::displayText(lite(QStringLiteral("2024-01-05 08:09:10"), K::DateTime)),
              QStringLiteral("2024-01-05 08:09:10"));
    EXPECT_EQ(Cells::displayText(lite(QStringLiteral("2024-01-05"), K::Date)),
              QStringLiteral("2024-01-05"));
    EXPECT_EQ(Cells::displayText(pg(QDate(2024, 1, 5), K::Date)), QStringLiteral("2024-01-05"));
    // a date column holding something else keeps its text
    EXPECT_EQ(lite(QStringLiteral("不详"), K::Date).type, V::Text);
    EXPECT_EQ(Cells::displayText(lite(1, K::YesNo)), QStringLiteral("是"));
    EXPECT_EQ(Cells::displayText(pg(false, K::YesNo)), QStringLiteral("否"));
    EXPECT_EQ(lite(QStringLiteral("散客"), K::YesNo).type, V::Text);
    EXPECT_EQ(lite(QByteArray("BM..."), K::Picture).type, V::Empty);
    EXPECT_EQ(Cells::displayText(lite(qlonglong(42), K::Plain)), QStringLiteral("42"));
    EXPECT_EQ(lite(QStringLiteral("0001"), K::Plain).type, V::Text);
}
