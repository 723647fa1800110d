#include "store/TextSearch.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

class TextSearchTest : public EngineTest {
protected:
    // Barcodes of the copies found by the condition, in order.
    QStringList found(const TextSearch::Condition& condition) {
        auto rows = db.select(
            QStringLiteral("select 条形码 from 出租库 where %1 order by 条形码").arg(condition.sql),
            condition.params);
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        QStringList barcodes;
        while (rows && rows.value().next())
            barcodes << rows.value().text(QStringLiteral("条形码"));
        return barcodes;
    }
    // Through the index and by the plain `like`, on both indexed columns.
    void expectSameRows(const QString& typed) {
        for (const QString& column : {QStringLiteral("条形码"), QStringLiteral("商品名称")}) {
            const TextSearch::Condition plain{db.containsCondition(Db::quoted(column)),
                                              {Db::containsPattern(typed)}};
            const QStringList expected = found(plain);
            EXPECT_EQ(found(TextSearch::contains(db, QStringLiteral("出租库"), column, typed)),
                      expected)
                << column.toStdString() << " contains " << typed.toStdString();
        }
    }
};
SHOP_ON_BOTH_ENGINES(TextSearchTest);

TEST_P(TextSearchTest, OffersExactlyTheRowsOfThePlainLikeOnRandomFragments) {
    const QStringList words = {QStringLiteral("三国演义"), QStringLiteral("红楼梦"),
                               QStringLiteral("Ägypten"),  QStringLiteral("ägypten"),
                               QStringLiteral("Harry"),    QStringLiteral("满100%减"),
                               QStringLiteral("a_b"),      QStringLiteral("西游记 DVD")};
    QRandomGenerator random(16);
    const QString insert = QStringLiteral("insert into 出租库(条形码,商品名称,状态) values(?,?,?)");
    for (int i = 0; i < 400; ++i) {
        const QString barcode = QStringLiteral("B%1-%2").arg(i / 40).arg(i % 40);
        const QString title = words[random.bounded(int(words.size()))] + QString::number(i % 7);
        execOk(insert, {barcode, title, QStringLiteral("待租")});
    }
    // the index follows changes of the indexed columns, and only those
    execOk(QStringLiteral("update 出租库 set 商品名称 = ? where 条形码 like ?"),
           {QStringLiteral("水浒传"), QStringLiteral("B3-%")});
    execOk(QStringLiteral("delete from 出租库 where 条形码 like ?"), {QStringLiteral("B4-%")});
    execOk(QStringLiteral("update 出租库 set 状态 = ? where 条形码 like ?"),
           {QStringLiteral("已租"), QStringLiteral("B5-%")});

    QStringList fragments = {
        QStringLiteral("B7-1"),   QStringLiteral("b7-1"),   QStringLiteral("水浒"),
        QStringLiteral("水浒传"), QStringLiteral("三国演"), QStringLiteral("ÄGY"),
        QStringLiteral("100%"),   QStringLiteral("_b"),     QStringLiteral("B4-1"),
        QStringLiteral("B"),      QStringLiteral("梦1"),    QStringLiteral("none")};
    auto rows = db.select(QStringLiteral("select 条形码, 商品名称 from 出租库"));
    ASSERT_TRUE(rows.ok());
    QStringList texts;
    while (rows.value().next())
        texts << rows.value().text(QStringLiteral("条形码"))
              << rows.value().text(QStringLiteral("商品名称"));
    for (int i = 0; i < 60; ++i) {
        const QString& text = texts[random.bounded(int(texts.size()))];
        const int length = 1 + random.bounded(5);
        fragments << text.mid(random.bounded(int(text.size())), length);
    }
    for (const QString& fragment : fragments)
        expectSameRows(fragment);
    // B7-1 offers B7-1, B7-10 ... B7-19
    EXPECT_EQ(found(TextSearch::contains(db, QStringLiteral("出租库"), QStringLiteral("条形码"),
                                         QStringLiteral("B7-1")))
                  .size(),
              11);
}

TEST_P(TextSearchTest, ContainsSearchOfThreeCharactersGoesThroughTheTrigramIndex) {
    const auto condition = TextSearch::contains(db, QStringLiteral("出租库"),
                                                QStringLiteral("条形码"), QStringLiteral("B7-1"));
    QString sql = QStringLiteral("select * from 出租库 where ") + condition.sql;
    QVariantList params = condition.params;
    if (GetParam() == Engine::Postgres) {
        // the server cannot prepare an explain: the pattern goes in as text
        execOk(QStringLiteral("SET enable_seqscan = off"));
        ASSERT_EQ(params.size(), 1);
        sql.replace(u'?', u'\'' + params.first().toString() + u'\'');
        params.clear();
    }
    auto rows = db.select((GetParam() == Engine::Sqlite ? QStringLiteral("explain query plan ")
                                                        : QStringLiteral("explain ")) +
                              sql,
                          params);
    ASSERT_TRUE(rows.ok()) << rows.error().toStdString();
    QString plan;
    while (rows.value().next()) {
        const QSqlRecord record = rows.value().record();
        plan += record.value(record.count() - 1).toString() + u'\n';
    }
    const QString index = GetParam() == Engine::Sqlite ? QStringLiteral("出租库_查找")
                                                       : QStringLiteral("出租库_条形码_trgm");
    EXPECT_TRUE(plan.contains(index)) << plan.toStdString();
}

TEST_P(TextSearchTest, AMoneyColumnIsSearchedInTheFormTheListShows) {
    const char* prices[] = {"25.5",   "125.5", "25.05", "2.55", "10", "100",
                            "0.8097", "-3",    "-0.5",  "30",   "0"};
    for (const char* price : prices)
        execOk(QStringLiteral("insert into 出租库(条形码,定价) values(?,?)"),
               {QString::fromLatin1(price),
                QVariant::fromValue(*Money::parse(QString::fromLatin1(price)))});
    execOk(QStringLiteral("insert into 出租库(条形码) values('none')")); // no price
    const struct {
        const char* typed;
        QStringList found; // barcodes, which are the prices as shown
    } cases[] = {
        {"25.5", {"125.5", "25.5"}},
        {"10", {"10", "100"}},
        {"0.8097", {"0.8097"}},
        {"-3", {"-3"}},
        {"0.5", {"-0.5"}},
        {"5000", {}}, // neither the stored units nor four places
        {"0", {"0", "0.8097", "10", "100", "25.05", "30", "-0.5"}},
        {".", {"-0.5", "0.8097", "125.5", "2.55", "25.05", "25.5"}},
    };
    for (const auto& c : cases) {
        QStringList expected = c.found, got = found(TextSearch::contains(
                                            db, QStringLiteral("出租库"), QStringLiteral("定价"),
                                            QString::fromLatin1(c.typed), ColumnType::Money));
        expected.sort();
        got.sort();
        EXPECT_EQ(got, expected) << c.typed;
    }
}
