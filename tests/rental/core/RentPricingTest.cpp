#include "rental/core/RentPricing.h"

#include <gtest/gtest.h>

using namespace RentPricing;

namespace {
QDateTime at(int day, int hour, int minute = 0, int second = 0) {
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}
Money m(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}
} // namespace

TEST(RentPricing, DaysAreRoundedToTheNearestDayAndAtLeastOne) {
    EXPECT_EQ(chargedDays(at(10, 10), at(10, 18)), 1); // 0.33 -> 0 -> 1
    EXPECT_EQ(chargedDays(at(10, 10), at(11, 21)), 1); // 1.46
    EXPECT_EQ(chargedDays(at(10, 10), at(11, 23)), 2); // 1.54
    EXPECT_EQ(chargedDays(at(10, 10), at(12, 9)), 2);  // 1.96
    EXPECT_EQ(chargedDays(at(10, 10), at(10, 10)), 1); // returned at once
    EXPECT_EQ(chargedDays(at(10, 10), at(17, 10)), 7);
}

TEST(RentPricing, ExactHalfDaysGoToTheEvenNeighbour) {
    EXPECT_EQ(chargedDays(at(10, 0), at(10, 12)), 1);       // 0.5 -> 0 -> at least 1
    EXPECT_EQ(chargedDays(at(10, 0), at(11, 12)), 2);       // 1.5 -> 2
    EXPECT_EQ(chargedDays(at(10, 0), at(12, 12)), 2);       // 2.5 -> 2
    EXPECT_EQ(chargedDays(at(10, 0), at(13, 12)), 4);       // 3.5 -> 4
    EXPECT_EQ(chargedDays(at(10, 0), at(12, 12, 0, 1)), 3); // a second past 2.5
    EXPECT_EQ(chargedDays(at(10, 0), at(11, 11, 59, 59)), 1);
}

TEST(RentPricing, RentMomentInTheFutureCountsOneDay) {
    EXPECT_EQ(chargedDays(at(10, 20), at(10, 10)), 1); // -0.42 days
    EXPECT_EQ(chargedDays(at(10, 12), at(10, 0)), 1);  // -0.5
    EXPECT_EQ(chargedDays(at(12, 20), at(10, 10)), 1); // -2.42: never a negative rent
    EXPECT_EQ(chargedDays(at(12, 0), at(10, 12)), 1);  // -1.5
}

TEST(RentPricing, RentIsDaysTimesTheDailyRateExactly) {
    EXPECT_EQ(rentFor(3, m("0.3")), m("0.9"));
    EXPECT_EQ(rentFor(3, m("0.3")).toString(), QStringLiteral("0.9"));
    EXPECT_EQ(rentFor(7, m("0.0001")), m("0.0007"));
    EXPECT_EQ(rentFor(1, m("2.5")), m("2.5"));
}

TEST(RentPricing, RentTotalsFollowTheDepositMode) {
    const QList<Money> deposits{m("5"), m("2.5")};
    const RentTotals taken = countRent(deposits, DepositMode::Take);
    EXPECT_EQ(taken.count, 2);
    EXPECT_EQ(taken.deposit.toString(), QStringLiteral("7.5"));
    const RentTotals free = countRent(deposits, DepositMode::Free);
    EXPECT_EQ(free.count, 2);
    EXPECT_EQ(free.deposit.toString(), QStringLiteral("0"));
    EXPECT_EQ(lineDeposit(DepositMode::Take, m("10")), m("10"));
    EXPECT_EQ(lineDeposit(DepositMode::Free, m("10")), m("0"));
    EXPECT_EQ(countRent({}, DepositMode::Take).count, 0);
}

TEST(RentPricing, DepositBackIsDepositsMinusRent) {
    const ReturnTotals two = countReturn({{m("10"), m("2")}, {m("10"), m("3")}});
    EXPECT_EQ(two.rent.toString(), QStringLiteral("5"));
    EXPECT_EQ(two.depositBack.toString(), QStringLiteral("15"));
    const ReturnTotals noDeposit = countReturn({{m("0"), m("3")}});
    EXPECT_EQ(noDeposit.rent.toString(), QStringLiteral("3"));
    EXPECT_EQ(noDeposit.depositBack.toString(), QStringLiteral("-3"));
    EXPECT_EQ(countReturn({}).depositBack, m("0"));
}
