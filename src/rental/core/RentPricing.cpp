#include "rental/core/RentPricing.h"

#include <QTimeZone>

namespace RentPricing {

Money lineDeposit(DepositMode mode, Money typeDeposit) {
    return mode == DepositMode::Take ? typeDeposit : Money();
}

int chargedDays(const QDateTime& rented, const QDateTime& returned) {
    // Wall-clock difference: a day is a day even across a daylight-saving change.
    const QDateTime from(rented.date(), rented.time(), Qt::UTC);
    const QDateTime to(returned.date(), returned.time(), Qt::UTC);
    constexpr qint64 Day = 24 * 60 * 60;
    const qint64 seconds = from.secsTo(to);
    qint64 whole = seconds / Day;
    qint64 rest = seconds % Day;
    if (rest < 0) { // floor division, so that rest is in [0, Day)
        whole -= 1;
        rest += Day;
    }
    if (2 * rest > Day || (2 * rest == Day && whole % 2 != 0))
        whole += 1;
    // At least one day; a rent moment after the return (a clock set back)
    // also counts one day, never a negative rent that would pay money out.
    if (whole < 1)
        whole = 1;
    return int(whole);
}

Money rentFor(int days, Money dailyRent) {
    return dailyRent * std::int64_t(days);
}

RentTotals countRent(const QList<Money>& lineDeposits, DepositMode mode) {
    RentTotals totals;
    totals.count = int(lineDeposits.size());
    if (mode == DepositMode::Take) {
        for (Money deposit : lineDeposits)
            totals.deposit += deposit;
    }
    return totals;
}

ReturnTotals countReturn(const QList<ReturnLineAmounts>& lines) {
    Money deposits;
    ReturnTotals totals;
    for (const ReturnLineAmounts& line : lines) {
        deposits += line.deposit;
        totals.rent += line.rent;
    }
    totals.depositBack = deposits - totals.rent;
    return totals;
}

} // namespace RentPricing
