#include "finance/core/StockTaking.h"
#include "FinanceData.h"

namespace S = StockTaking;

// The figures against counts made here from the rows as written, on a
// database holding rows on both sides of every period bound.
class StockTakingTest : public FinanceTest {
protected:
    struct Dated {
        const char* when;
        qint64 quantity;
        const char* amount;
    };
    // what was written, per table
    QList<Dated> incomes{{"2024-03-03 09:00:00", 1, "50"}, {"2024-03-04 00:00:00", 1, "2.5"},
                         {"2024-03-04 18:00:00", 1, "7"},  {"2024-03-05 00:00:00", 1, "3"},
                         {"2024-03-05 14:00:00", 1, "5"},  {"2024-03-06 00:00:00", 1, "11"},
                         {"2024-03-06 00:00:01", 1, "13"}};
    QList<Dated> expenses{{"2024-03-04 12:00:00", 1, "30"}, {"2024-03-05 10:00:00", 1, "120"}};
    QList<Dated> sales{{"2024-03-04 11:00:00", 2, "19.8"},
                       {"2024-03-05 11:00:00", 3, "27.45"},
                       {"2024-03-05 16:00:00", 1, "8"}};
    QList<Dated> purchases{{"2024-03-01 09:00:00", 10, "80"}, {"2024-03-05 09:00:00", 4, "36.5"}};
    QList<Dated> refunds{{"2024-03-05 17:00:00", 1, "9.15"}};
    // rentals: begun, returned, collected
    struct Rental {
        const char* barcode;
        const char* begun;
        const char* returned;
        const char* collected;
        const char* deposit;
    };
    QList<Rental> rentals{{"R-A", "2024-03-04 10:00:00", "2024-03-05 00:00:00", "3", "20"},
                          {"R-B", "2024-03-05 09:30:00", "", "0", "15.5"},
                          {"R-C", "2024-02-10 09:30:00", "", "0", "8"},
                          {"R-D", "2024-03-05 12:00:00", "2024-03-05 13:00:00", "1.5", "30"}};

    void prepare() {
        for (const Dated& d : incomes)
            income("收入", d.amount, d.when);
        for (const Dated& d : expenses)
            expense("支出", d.amount, d.when);
        for (const Dated& d : sales)
            sale("S", "B1", int(d.quantity), d.amount, d.when);
        for (const Dated& d : purchases)
            purchase("B1", int(d.quantity), d.amount, d.when);
        for (const Dated& d : refunds)
            refund("S", "B1", int(d.quantity), d.amount, d.when);
        for (const Rental& r : rentals)
            rent(r.barcode, "R", "小说", r.begun, r.deposit, r.returned, r.collected);
        saleItem("G1", 4, "12.5");
        saleItem("G2", 0, "30");
        saleItem("G3", 7, "0.35");
        rentItem("R-A", "25");
        rentItem("R-B", "39.9");
    }

    static bool inPeriod(const char* when, QDate from, QDate to) {
        const QDateTime t = at(when);
        return t >= QDateTime(from, QTime(0, 0)) && t < QDateTime(to, QTime(0, 0));
    }
    static Money amount(const char* text) { return *Money::parse(QString::fromUtf8(text)); }
    struct Tally {
        qint64 rows = 0;
        qint64 quantity = 0;
        Money sum;
    };
    static Tally tally(const QList<Dated>& rows, QDate from, QDate to) {
        Tally t;
        for (const Dated& d : rows) {
            if (!inPeriod(d.when, from, to))
                continue;
            ++t.rows;
            t.quantity += d.quantity;
            t.sum += amount(d.amount);
        }
        return t;
    }

    void expectPeriod(QDate from, QDate to) {
        SCOPED_TRACE(from.toString(Qt::ISODate).toStdString() + " .. " +
                     to.toString(Qt::ISODate).toStdString());
        auto figures = S::periodFigures(db, from, to);
        ASSERT_TRUE(figures.ok()) << figures.error().toStdString();
        const S::PeriodFigures& f = figures.value();
        const Tally in = tally(incomes, from, to), out = tally(expenses, from, to),
                    sold = tally(sales, from, to), bought = tally(purchases, from, to),
                    back = tally(refunds, from, to);
        EXPECT_EQ(f.incomeRows, in.rows);
        EXPECT_EQ(f.income, in.sum);
        EXPECT_EQ(f.expenseRows, out.rows);
        EXPECT_EQ(f.expenses, out.sum);
        EXPECT_EQ(f.balance(), in.sum - out.sum);
        EXPECT_EQ(f.saleLines, sold.rows);
        EXPECT_EQ(f.unitsSold, sold.quantity);
        EXPECT_EQ(f.salesAmount, sold.sum);
        EXPECT_EQ(f.purchases, bought.rows);
        EXPECT_EQ(f.unitsBought, bought.quantity);
        EXPECT_EQ(f.purchaseAmount, bought.sum);
        EXPECT_EQ(f.refunds, back.rows);
        EXPECT_EQ(f.unitsRefunded, back.quantity);
        EXPECT_EQ(f.refundAmount, back.sum);
        qint64 rented = 0;
        Money collected;
        for (const Rental& r : rentals) {
            if (inPeriod(r.begun, from, to)) {
                ++rented;
                collected += amount(r.collected);
            }
        }
        EXPECT_EQ(f.rentals, rented);
        EXPECT_EQ(f.rentCollected, collected);
    }
};
SHOP_ON_BOTH_ENGINES(StockTakingTest);

TEST_P(StockTakingTest, AnEmptyShopShowsZeroEverywhere) {
    auto stock = S::stockFigures(db);
    ASSERT_TRUE(stock.ok()) << stock.error().toStdString();
    EXPECT_EQ(stock->saleEntries, 0);
    EXPECT_EQ(stock->saleUnits, 0);
    EXPECT_EQ(stock->saleValue.toString(), u("0"));
    EXPECT_EQ(stock->rentItems, 0);
    EXPECT_EQ(stock->rentValue.toString(), u("0"));
    EXPECT_EQ(stock->depositsHeld.toString(), u("0"));
    auto period = S::periodFigures(db, QDate(2024, 3, 5), QDate(2024, 3, 6));
    ASSERT_TRUE(period.ok());
    EXPECT_EQ(period->incomeRows + period->expenseRows + period->rentals + period->saleLines +
                  period->unitsSold + period->purchases + period->unitsBought + period->refunds +
                  period->unitsRefunded,
              0);
    EXPECT_EQ(period->balance().toString(), u("0"));
    EXPECT_EQ(period->refundAmount.toString(), u("0"));
}

TEST_P(StockTakingTest, StockFiguresMatchTheCatalogues) {
    prepare();
    auto stock = S::stockFigures(db);
    ASSERT_TRUE(stock.ok()) << stock.error().toStdString();
    EXPECT_EQ(stock->saleEntries, 3);
    EXPECT_EQ(stock->saleUnits, 4 + 0 + 7);
    EXPECT_EQ(stock->saleValue, amount("12.5") * 4 + amount("0.35") * 7);
    EXPECT_EQ(stock->rentItems, 2);
    EXPECT_EQ(stock->rentValue, amount("25") + amount("39.9"));
    EXPECT_EQ(stock->depositsHeld, amount("15.5") + amount("8")); // R-B and R-C are out
}

TEST_P(StockTakingTest, PeriodFiguresMatchAnIndependentCountForEveryPeriod) {
    prepare();
    expectPeriod(QDate(2024, 3, 5), QDate(2024, 3, 6)); // today
    expectPeriod(QDate(2024, 3, 4), QDate(2024, 3, 5)); // yesterday
    expectPeriod(QDate(2000, 1, 1), QDate(2024, 3, 7));
    expectPeriod(QDate(2024, 3, 5), QDate(2024, 3, 5));
    expectPeriod(QDate(2024, 3, 6), QDate(2024, 3, 4)); // backwards: nothing
}

TEST_P(StockTakingTest, ARentalCountsOnTheDayItBeganItsIncomeOnTheDayItWasPaid) {
    prepare();
    auto yesterday = S::periodFigures(db, QDate(2024, 3, 4), QDate(2024, 3, 5));
    auto today = S::periodFigures(db, QDate(2024, 3, 5), QDate(2024, 3, 6));
    ASSERT_TRUE(yesterday.ok() && today.ok());
    EXPECT_EQ(yesterday->rentals, 1); // R-A, settled today
    EXPECT_EQ(yesterday->rentCollected, amount("3"));
    EXPECT_EQ(today->rentals, 2); // R-B, R-D
    EXPECT_EQ(today->rentCollected, amount("1.5"));
    // today's cash: the rent income of 3 at midnight and the fine of 5 (the
    // row at midnight of tomorrow is tomorrow's), against an expense of 120
    EXPECT_EQ(today->income, amount("3") + amount("5"));
    EXPECT_EQ(today->balance().toString(), u("-112"));
}

TEST_P(StockTakingTest, DailyTotalsSplitThePeriodByDay) {
    prepare();
    auto days = S::dailyTotals(db, QDate(2024, 3, 3), QDate(2024, 3, 6));
    ASSERT_TRUE(days.ok()) << days.error().toStdString();
    ASSERT_EQ(days->size(), 3);
    EXPECT_EQ(days->at(0).day, QDate(2024, 3, 3));
    EXPECT_EQ(days->at(0).income, amount("50"));
    EXPECT_EQ(days->at(1).income, amount("9.5"));
    EXPECT_EQ(days->at(1).expenses, amount("30"));
    EXPECT_EQ(days->at(2).income, amount("8"));
    EXPECT_EQ(days->at(2).expenses, amount("120"));

    auto longPeriod = S::dailyTotals(db, QDate(2000, 1, 1), QDate(2024, 3, 6));
    ASSERT_TRUE(longPeriod.ok());
    ASSERT_EQ(longPeriod->size(), S::MaxChartDays);
    EXPECT_EQ(longPeriod->last().day, QDate(2024, 3, 5));
    EXPECT_TRUE(S::dailyTotals(db, QDate(2024, 3, 6), QDate(2024, 3, 5))->isEmpty());
}

// Every figure of the summary as ten-thousandths, counts included.
static QList<qint64> everyFigure(const S::PeriodFigures& f) {
    return {f.incomeRows,       f.income.units(), f.expenseRows,
            f.expenses.units(), f.rentals,        f.rentCollected.units(),
            f.saleLines,        f.unitsSold,      f.salesAmount.units(),
            f.purchases,        f.unitsBought,    f.purchaseAmount.units(),
            f.refunds,          f.unitsRefunded,  f.refundAmount.units()};
}

TEST_P(StockTakingTest, AdjacentPeriodsAddUpToTheJoinedOneAndTheChartToThePeriod) {
    // a row of every kind at noon of 1 June, at midnight of 2 June and at noon of 2 June
    const char* moments[] = {"2024-06-01 12:00:00", "2024-06-02 00:00:00", "2024-06-02 12:00:00"};
    const char* copies[] = {"R-1", "R-2", "R-3"};
    for (int i = 0; i < 3; ++i) {
        const char* when = moments[i];
        income("收入", "10.5", when);
        expense("支出", "4", when);
        sale("S", "B1", 2, "6.25", when);
        purchase("B1", 3, "9", when);
        refund("S", "B1", 1, "2.0001", when);
        rent(copies[i], "R", "小说", when, "5", when, "1.5");
    }
    const QDate june1(2024, 6, 1), june2(2024, 6, 2), june3(2024, 6, 3);
    auto first = S::summary(db, june1, june2, false);
    auto second = S::summary(db, june2, june3, false);
    auto joined = S::summary(db, june1, june3, true);
    ASSERT_TRUE(first.ok() && second.ok() && joined.ok()) << joined.error().toStdString();
    EXPECT_FALSE(first->stock.has_value());
    EXPECT_TRUE(joined->stock.has_value());
    // the row at midnight belongs to 2 June only
    EXPECT_EQ(first->period.incomeRows, 1);
    EXPECT_EQ(first->period.rentals, 1);
    EXPECT_EQ(second->period.refunds, 2);
    const QList<qint64> a = everyFigure(first->period), b = everyFigure(second->period),
                        whole = everyFigure(joined->period);
    for (int i = 0; i < whole.size(); ++i)
        EXPECT_EQ(a[i] + b[i], whole[i]) << "figure " << i;
    // the chart's days add up to the period's income and expenses
    for (const auto* summary : {&first.value(), &second.value(), &joined.value()}) {
        Money income, expenses;
        for (const S::DayTotals& day : summary->days) {
            income += day.income;
            expenses += day.expenses;
        }
        EXPECT_EQ(income, summary->period.income);
        EXPECT_EQ(expenses, summary->period.expenses);
    }
    ASSERT_EQ(joined->days.size(), 2);
    EXPECT_EQ(joined->days[1].income, amount("21"));
}
