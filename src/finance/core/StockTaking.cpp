#include "finance/core/StockTaking.h"

#include <QDateTime>

namespace StockTaking {

namespace {

QDateTime startOf(const QDate& day) {
    return QDateTime(day, QTime(0, 0));
}

// A count, or a sum of whole numbers; NULL (a sum over no rows) is 0.
Status readCount(const Db& db, const QString& sql, const QVariantList& params, qint64& into) {
    auto value = db.scalarInteger(sql, params);
    if (!value)
        return Error{value.error()};
    into = value.value().value_or(0);
    return {};
}

Status readMoney(const Db& db, const QString& sql, const QVariantList& params, Money& into) {
    auto value = db.scalarMoney(sql, params);
    if (!value)
        return Error{value.error()};
    into = value.value();
    return {};
}

// "select <aggregate> as num from <table> where <column> >= ? and <column> < ?"
QString period(const char* aggregate, const char* table, const char* column) {
    return QStringLiteral("select %1 as num from %2 where %3 >= ? and %3 < ?")
        .arg(QString::fromUtf8(aggregate), QString::fromUtf8(table), QString::fromUtf8(column));
}

} // namespace

Result<StockFigures> stockFigures(const Db& db) {
    StockFigures f;
    // one pass over each catalogue for its count and sums (the rent
    // catalogue has a million rows in a large shop)
    auto sale = db.select(QStringLiteral(
        "select count(商品id) as n, sum(库存) as units, sum(库存*定价) as value from 销售库"));
    if (!sale)
        return Error{sale.error()};
    if (sale.value().next()) {
        f.saleEntries = sale.value().integer(QStringLiteral("n"));
        f.saleUnits = sale.value().integer(QStringLiteral("units"));
        f.saleValue = sale.value().money(QStringLiteral("value"));
        if (!f.saleValue.isValid())
            return Error{Money::sumOutOfRangeMessage(QStringLiteral("销售库的库存金额合计"))};
    }
    auto rent =
        db.select(QStringLiteral("select count(条形码) as n, sum(定价) as value from 出租库"));
    if (!rent)
        return Error{rent.error()};
    if (rent.value().next()) {
        f.rentItems = rent.value().integer(QStringLiteral("n"));
        f.rentValue = rent.value().money(QStringLiteral("value"));
        if (!f.rentValue.isValid())
            return Error{Money::sumOutOfRangeMessage(QStringLiteral("出租库的定价合计"))};
    }
    // the condition as written in the open-rent index, so that every plan can
    // use it (a prepared statement's generic plan on PostgreSQL cannot match
    // a bound value to the index's condition and scans every record)
    if (Status read =
            readMoney(db, QStringLiteral("select sum(押金) as num from 出租记录 where 已还 = '否'"),
                      {}, f.depositsHeld);
        !read)
        return Error{read.error()};
    return f;
}

Result<PeriodFigures> periodFigures(const Db& db, const QDate& from, const QDate& to) {
    PeriodFigures f;
    const QVariantList bounds{startOf(from), startOf(to)};
    const struct {
        QString sql;
        qint64* count;
        Money* sum;
    } steps[] = {
        {period("count(id)", "收入记录", "日期"), &f.incomeRows, nullptr},
        {period("sum(金额)", "收入记录", "日期"), nullptr, &f.income},
        {period("count(id)", "支出记录", "日期"), &f.expenseRows, nullptr},
        {period("sum(金额)", "支出记录", "日期"), nullptr, &f.expenses},
        {period("count(id)", "出租记录", "出租日期"), &f.rentals, nullptr},
        {period("sum(实收租金)", "出租记录", "出租日期"), nullptr, &f.rentCollected},
        {period("count(id)", "销售记录", "日期"), &f.saleLines, nullptr},
        {period("sum(数量)", "销售记录", "日期"), &f.unitsSold, nullptr},
        {period("sum(合计)", "销售记录", "日期"), nullptr, &f.salesAmount},
        {period("count(id)", "进货记录", "进货日期"), &f.purchases, nullptr},
        {period("sum(进货数量)", "进货记录", "进货日期"), &f.unitsBought, nullptr},
        {period("sum(总金额)", "进货记录", "进货日期"), nullptr, &f.purchaseAmount},
        {period("count(id)", "退货记录", "日期"), &f.refunds, nullptr},
        {period("sum(数量)", "退货记录", "日期"), &f.unitsRefunded, nullptr},
        {period("sum(退还金额)", "退货记录", "日期"), nullptr, &f.refundAmount},
    };
    for (const auto& step : steps) {
        Status read = step.count ? readCount(db, step.sql, bounds, *step.count)
                                 : readMoney(db, step.sql, bounds, *step.sum);
        if (!read)
            return Error{read.error()};
    }
    return f;
}

Result<QList<DayTotals>> dailyTotals(const Db& db, const QDate& from, const QDate& to) {
    QList<DayTotals> days;
    if (!from.isValid() || !to.isValid() || to <= from)
        return days;
    const QDate first = from.daysTo(to) > MaxChartDays ? to.addDays(-MaxChartDays) : from;
    // One indexed range per day and table: cheap, and the same on both engines.
    const QString income = period("sum(金额)", "收入记录", "日期");
    const QString expenses = period("sum(金额)", "支出记录", "日期");
    for (QDate day = first; day < to; day = day.addDays(1)) {
        const QVariantList bounds{startOf(day), startOf(day.addDays(1))};
        DayTotals totals{day, {}, {}};
        if (Status read = readMoney(db, income, bounds, totals.income); !read)
            return Error{read.error()};
        if (Status read = readMoney(db, expenses, bounds, totals.expenses); !read)
            return Error{read.error()};
        days << totals;
    }
    return days;
}

Result<Summary> summary(const Db& db, const QDate& from, const QDate& to, bool withStock) {
    Summary all;
    Status read = db.inReadSnapshot([&]() -> Status {
        auto period = periodFigures(db, from, to);
        if (!period)
            return Error{period.error()};
        all.period = period.value();
        auto days = dailyTotals(db, from, to);
        if (!days)
            return Error{days.error()};
        all.days = days.value();
        if (withStock) {
            auto stock = stockFigures(db);
            if (!stock)
                return Error{stock.error()};
            all.stock = stock.value();
        }
        return {};
    });
    if (!read)
        return Error{read.error()};
    return all;
}

} // namespace StockTaking
