#pragma once

#include "store/Db.h"
#include "store/Money.h"

#include <QDate>
#include <QList>
#include <optional>

// The key figures of the stocktaking summary. Everything here only reads.
namespace StockTaking {

// What the two catalogues hold now, and the deposits held for items out.
struct StockFigures {
    qint64 saleEntries = 0; // 销售库 rows
    qint64 saleUnits = 0;   // sum of 库存
    Money saleValue;        // sum of 库存 × 定价
    qint64 rentItems = 0;   // 出租库 rows
    Money rentValue;        // sum of 定价
    Money depositsHeld;     // 押金 of the rents not yet returned
};

// Business (A) and cash (B) in a period. A rental counts by the day it
// began, whenever it was settled; every income row counts in B.
struct PeriodFigures {
    qint64 incomeRows = 0;
    Money income;
    qint64 expenseRows = 0;
    Money expenses;
    qint64 rentals = 0;
    Money rentCollected;
    qint64 saleLines = 0;
    qint64 unitsSold = 0;
    Money salesAmount;
    qint64 purchases = 0;
    qint64 unitsBought = 0;
    Money purchaseAmount;
    qint64 refunds = 0;
    qint64 unitsRefunded = 0;
    Money refundAmount;

    // "合计:": income less expenses.
    Money balance() const { return income - expenses; }
};

Result<StockFigures> stockFigures(const Db& db);

// Rows dated from the start of from up to, but not including, the start
// of to (so from today to tomorrow is exactly today, and two adjacent
// periods add up to the joined one). A to before from gives zeros.
Result<PeriodFigures> periodFigures(const Db& db, const QDate& from, const QDate& to);

struct DayTotals {
    QDate day;
    Money income;
    Money expenses;
};

// At most this many days are drawn: the last ones of a longer period.
inline constexpr int MaxChartDays = 92;

// Income and expenses per day, for the days from from up to the day
// before to (the days the period figures cover), at most MaxChartDays.
Result<QList<DayTotals>> dailyTotals(const Db& db, const QDate& from, const QDate& to);

// What the summary shows, read from one snapshot of the database, so that a
// booking made meanwhile cannot make one panel disagree with another.
struct Summary {
    std::optional<StockFigures> stock; // when asked for
    PeriodFigures period;
    QList<DayTotals> days;
};
Result<Summary> summary(const Db& db, const QDate& from, const QDate& to, bool withStock);

} // namespace StockTaking
