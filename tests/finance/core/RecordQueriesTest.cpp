#include "finance/core/RecordQueries.h"
#include "FinanceData.h"

namespace Q = RecordQueries;
using K = RecordKind;

class RecordQueriesTest : public FinanceTest {
protected:
    // The values of column in the rows of query, in statement order.
    QStringList values(const ListQuery& query, const char* column) {
        auto rows = db.select(query.sql, query.params);
        EXPECT_TRUE(rows.ok()) << rows.error().toStdString();
        QStringList result;
        while (rows.ok() && rows.value().next())
            result << rows.value().text(u(column));
        result.sort();
        return result;
    }
    QStringList found(K kind, const RecordFilter& filter, const char* column) {
        auto query = Q::searchQuery(kind, filter, db.connectionName());
        EXPECT_TRUE(query.ok()) << query.error().toStdString();
        if (!query.ok() || !query.value())
            return {u("<no search>")};
        return values(*query.value(), column);
    }
    static RecordFilter texts(K kind, int index, const QString& text) {
        RecordFilter filter;
        const auto& config = recordQueryConfig(kind);
        for (int i = 0; i < config.texts.size(); ++i)
            filter.texts << (i == index ? text : QString());
        for (int i = 0; i < config.dates.size(); ++i)
            filter.dates << std::nullopt;
        filter.returned = u("否");
        return filter;
    }
};
SHOP_ON_BOTH_ENGINES(RecordQueriesTest);

TEST_P(RecordQueriesTest, EveryListShowsOrHidesEachColumnOfItsTable) {
    for (K kind : allRecordKinds()) {
        const RecordQueryConfig& c = recordQueryConfig(kind);
        SCOPED_TRACE(c.table.toStdString());
        QStringList listed = c.columns + c.hidden;
        QStringList real = db.columns(c.table);
        listed.sort();
        real.sort();
        EXPECT_EQ(listed, real);
        EXPECT_TRUE(c.columns.contains(c.countColumn));
        for (const QString& sum : c.sumColumns)
            EXPECT_TRUE(c.columns.contains(sum)) << sum.toStdString();
    }
}

TEST_P(RecordQueriesTest, RentRecordsAlwaysFilterByTheReturnedChoice) {
    rent("B-OUT", "R1", "小说", "2024-03-04 10:00:00", "20");
    rent("B-BACK", "R2", "杂志", "2024-03-01 10:00:00", "10", "2024-03-03 09:00:00", "2");
    EXPECT_EQ(values(Q::initialQuery(K::Rent, Clock::today(), db.connectionName()), "条形码"),
              QStringList{u("B-OUT")});
    RecordFilter filter = texts(K::Rent, -1, {});
    EXPECT_EQ(found(K::Rent, filter, "条形码"), QStringList{u("B-OUT")});
    filter.returned = u("是");
    EXPECT_EQ(found(K::Rent, filter, "条形码"), QStringList{u("B-BACK")});
    filter.texts[2] = u("小说"); // 商品名称 of the one still out
    EXPECT_EQ(found(K::Rent, filter, "条形码"), QStringList());
}

TEST_P(RecordQueriesTest, TextsAreComparedForEqualityExactlyAsTyped) {
    sale("S1", "123", 1, "10", "2024-03-01 10:00:00", "李四");
    sale("S2", "1234", 1, "10", "2024-03-01 11:00:00", "O'Neil \"王\"");
    refund("S1", "123", 1, "10", "2024-03-02 10:00:00", "李四");
    EXPECT_EQ(found(K::Sales, texts(K::Sales, 1, u("123")), "销售单号"), QStringList{u("S1")});
    EXPECT_EQ(found(K::Sales, texts(K::Sales, 1, u("12")), "销售单号"), QStringList());
    EXPECT_EQ(found(K::Sales, texts(K::Sales, 1, u("123 ")), "销售单号"), QStringList());
    // a quote character is a character like any other
    EXPECT_EQ(found(K::Sales, texts(K::Sales, 4, u("O'Neil \"王\"")), "销售单号"),
              QStringList{u("S2")});
    // "会员姓名" filters on 姓名 in the sale and refund records
    EXPECT_EQ(recordQueryConfig(K::Sales).texts.at(4).caption, u("会员姓名"));
    EXPECT_EQ(found(K::Sales, texts(K::Sales, 4, u("李四")), "销售单号"), QStringList{u("S1")});
    EXPECT_EQ(recordQueryConfig(K::Refunds).texts.at(4).caption, u("会员姓名"));
    EXPECT_EQ(found(K::Refunds, texts(K::Refunds, 4, u("李四")), "条形码"), QStringList{u("123")});
}

TEST_P(RecordQueriesTest, ARangeEndsBeforeTheStartOfItsEndDay) {
    income("a", "1", "2024-02-29 23:00:00");
    income("b", "1", "2024-03-01 00:00:00");
    income("c", "1", "2024-03-01 09:30:00");
    income("d", "1", "2024-03-01 23:59:59");
    income("e", "1", "2024-03-02 00:00:00");
    rent("R-1", "R1", "小说", "2024-02-20 10:00:00", "5", "2024-03-01 18:00:00", "9");
    RecordFilter filter = texts(K::Income, -1, {});
    const struct {
        QDate from, to;
        QStringList found;
    } ranges[] = {
        {QDate(2024, 3, 1), QDate(2024, 3, 1), {}},
        {QDate(2024, 2, 29), QDate(2024, 3, 1), {u("a")}},
        {QDate(2024, 3, 1), QDate(2024, 3, 2), {u("b"), u("c"), u("d")}},
        {QDate(2024, 3, 2), QDate(2024, 3, 3), {u("e")}},
        {QDate(2024, 2, 29), QDate(2024, 3, 3), {u("a"), u("b"), u("c"), u("d"), u("e")}},
    };
    for (const auto& r : ranges) {
        filter.dates[0] = DateRange{r.from, r.to};
        EXPECT_EQ(found(K::Income, filter, "项目"), r.found) << r.from.toString().toStdString();
    }

    RecordFilter rents = texts(K::Rent, -1, {});
    rents.returned = u("是");
    rents.dates[1] = DateRange{QDate(2024, 3, 1), QDate(2024, 3, 1)};
    EXPECT_EQ(found(K::Rent, rents, "条形码"), QStringList());
    rents.dates[1] = DateRange{QDate(2024, 3, 1), QDate(2024, 3, 2)};
    EXPECT_EQ(found(K::Rent, rents, "条形码"), QStringList{u("R-1")});
}

TEST_P(RecordQueriesTest, ABackwardRangeIsRefusedWithItsMessageAndEqualDatesPass) {
    const DateRange backward{QDate(2024, 3, 2), QDate(2024, 3, 1)};
    const DateRange sameDay{QDate(2024, 3, 1), QDate(2024, 3, 1)};
    const struct {
        K kind;
        std::optional<DateRange> first, second;
        const char* message; // "": accepted
    } cases[] = {
        {K::Rent, backward, backward, "出租日期条件不符合正常逻辑!"},
        {K::Rent, sameDay, backward, "归还日期条件不符合正常逻辑!"},
        {K::Rent, std::nullopt, sameDay, ""},
        {K::Income, backward, std::nullopt, "日期条件不符合正常逻辑!"},
        {K::Sales, backward, std::nullopt, "日期条件不符合正常逻辑!"},
        {K::Purchases, backward, std::nullopt, "日期条件不符合正常逻辑!"},
        {K::Expenses, backward, std::nullopt, "日期条件不符合正常逻辑!"},
        {K::Refunds, backward, std::nullopt, "日期条件不符合正常逻辑!"},
        {K::Refunds, sameDay, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(recordQueryConfig(c.kind).table.toStdString() + c.message);
        RecordFilter filter = texts(c.kind, -1, {});
        filter.dates[0] = c.first;
        if (filter.dates.size() > 1)
            filter.dates[1] = c.second;
        auto query = Q::searchQuery(c.kind, filter, db.connectionName());
        if (*c.message) {
            ASSERT_FALSE(query.ok());
            EXPECT_EQ(query.error(), u(c.message));
        } else {
            ASSERT_TRUE(query.ok());
            EXPECT_TRUE(query.value().has_value());
        }
    }
}

TEST_P(RecordQueriesTest, WithoutAnyConditionOnlyTheRentRecordsSearch) {
    for (K kind : allRecordKinds()) {
        SCOPED_TRACE(recordQueryConfig(kind).table.toStdString());
        auto query = Q::searchQuery(kind, texts(kind, -1, {}), db.connectionName());
        ASSERT_TRUE(query.ok());
        EXPECT_EQ(query.value().has_value(), kind == K::Rent);
    }
}

TEST_P(RecordQueriesTest, IncomeAndExpensesOpenOnTodayTheOthersOnEveryRow) {
    income("yesterday", "1", "2024-03-04 23:59:59");
    income("midnight", "1", "2024-03-05 00:00:00");
    income("now", "1", "2024-03-05 15:20:00");
    expense("old", "1", "2024-03-04 12:00:00");
    expense("new", "1", "2024-03-05 08:00:00");
    purchase("P1", 2, "16", "2001-01-01 10:00:00");
    purchase("P2", 2, "16", "2024-03-05 10:00:00");
    const QString c = db.connectionName();
    EXPECT_EQ(values(Q::initialQuery(K::Income, Clock::today(), c), "项目"),
              (QStringList{u("midnight"), u("now")}));
    EXPECT_EQ(values(Q::initialQuery(K::Expenses, Clock::today(), c), "项目"),
              QStringList{u("new")});
    EXPECT_EQ(values(Q::initialQuery(K::Purchases, Clock::today(), c), "条形码"),
              (QStringList{u("P1"), u("P2")}));
}
