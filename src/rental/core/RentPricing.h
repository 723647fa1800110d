#pragma once

#include "store/Money.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The arithmetic of the rent and return counters, over plain values.
namespace RentPricing {

// Whether a deposit is taken when copies are rented out.
enum class DepositMode { Take, Free };

inline const QString TakeDepositText = QStringLiteral("收押金");
inline const QString FreeDepositText = QStringLiteral("免押金");

// The deposit of one rent line: the goods type's deposit, or 0 when no
// deposit is taken.
Money lineDeposit(DepositMode mode, Money typeDeposit);

// Days charged for a copy rented at `rented` and brought back at `returned`:
// the wall-clock time between them in days with the fraction of the day,
// rounded to the nearest whole day (an exact half goes to the even
// neighbour: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2), and at least 1. A rent moment
// later than the return (a clock set back) counts as 1 day.
int chargedDays(const QDateTime& rented, const QDateTime& returned);

// Rent is days times the daily rate, exact.
Money rentFor(int days, Money dailyRent);

// The two labels of the rent window: number of lines and total deposit (0
// when no deposit is taken, whatever the lines show).
struct RentTotals {
    int count = 0;
    Money deposit;
};
RentTotals countRent(const QList<Money>& lineDeposits, DepositMode mode);

// The two labels of the return window: total rent, and the deposits minus
// the rent, which is what is handed back (negative when the rent is more).
struct ReturnLineAmounts {
    Money deposit;
    Money rent;
};
struct ReturnTotals {
    Money rent;
    Money depositBack;
};
ReturnTotals countReturn(const QList<ReturnLineAmounts>& lines);

} // namespace RentPricing
