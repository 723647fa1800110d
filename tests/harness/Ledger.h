#pragma once

#include "store/Db.h"

#include <QMap>
#include <QString>
#include <QStringList>

// What the bookings may change, as plain numbers: stock per item, balance
// and points per card (in ten-thousandths), which copies are out, the two
// order counters, the row count of every record table, and every record
// row by what it holds (its key says the row's fields, its value how many
// such rows there are). Two snapshots and the journal of committed bookings
// between them must add up.
using Values = QMap<QString, qint64>;

namespace Ledger {

// The values as stored now.
Result<Values> read(const Db& db);

// The key of a record row of table holding fields (money in
// ten-thousandths, "-" for an empty value), as read() gives it.
QString rowKey(const QString& table, const QStringList& fields);
QString units(Money amount);

// to - from, keys with a change only.
Values difference(const Values& from, const Values& to);
void add(Values& into, const Values& delta);
// One line per key where expected and found differ.
QStringList mismatches(const Values& expected, const Values& found);

// The rules that hold whatever was booked: rent and sale order numbers
// distinct per booking and without gaps up to the counter, at most one open
// rent per copy and a copy out exactly when it has one, and on SQLite
// integrity_check "ok". Gives one line per breach.
Result<QStringList> invariants(const Db& db);

// A journal line: "I <kind> key=delta ..." before a booking, then its
// outcome: "C" committed; "R <reason>" refused for a reason the model agrees
// with; "X <why>: <reason>" refused for none; "L <reason>" refused because
// the connection was lost; "U <reason>" outcome unknown (as a kill leaves
// it); "S <why>" the booking stalled.
QString intentLine(const QString& kind, const Values& delta);

// A process's journal read back.
struct Journal {
    Values committed;      // sum of every committed booking
    qint64 commits = 0;    // bookings committed
    qint64 refusals = 0;   // bookings refused or failed
    qint64 lost = 0;       // of them refused because the connection was lost
    bool inFlight = false; // the last booking has no outcome (killed, or unknown)
    Values inFlightDelta;
    // the last refused booking, to tell one reported refused but committed
    Values lastRefusedDelta;
    QString lastRefusal;
    QStringList breaches; // refusals without reason, stalls
};
Result<Journal> readJournal(const QString& path);

} // namespace Ledger
