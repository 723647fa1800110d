#pragma once

#include "Ledger.h"

#include <QRandomGenerator>
#include <functional>

// The shop the harnesses book against: a handful of busy copies, items and
// cards, so that processes meet on the same rows.
namespace Workload {

Status prepare(const Db& db);

enum class Kind {
    Rent,
    Return,
    Sale,
    Refund,
    Recharge,
    Registration,
    Correction,
    Purchase,
    StockCorrection
};
inline constexpr int KindCount = 9;
QString kindName(Kind kind);

// One booking of the kind with random lines, and the change it makes when
// it commits, record rows included. tag names the booking in its rows
// (handler names), so order numbers shared by two bookings show. A booking
// that finds nothing to work on (no copy available) gives an empty delta
// and is not booked. judge says whether a refusal has a reason the model
// agrees with (another booking took the copy first, the sale line has no
// more left to refund...): empty when it has, else why not; read after the
// refusal, from what is stored then.
struct Planned {
    Values delta;
    std::function<Status()> book;
    std::function<QString(const QString& refusal)> judge;
};
Result<Planned> plan(const Db& db, Kind kind, const QString& tag, QRandomGenerator& random);

// How a refusal is entered in the journal: "R", "X", "L" or "U" (see
// Ledger::intentLine), with its text.
QString outcomeLine(const Planned& planned, const QString& refusal);

struct RunOptions {
    qint64 count = 0;
    quint32 seed = 1;
    QString tag;
    // a fault of the bookings planted once, for the checker to find:
    // "wrong-amount" (a cash sale's income row holds its first line only)
    // or "refuse-valid" (a rent refused as if its copy were out)
    QString plant;
    // a booking (planning included) that takes longer stops the process,
    // journalled as stalled
    int bookingLimitSeconds = 60;
};

// Books count random bookings, writing the journal (Ledger) around each.
// Gives a summary line: committed, refused, and the texts of failures.
Result<QString> run(const Db& db, const QString& journalPath, const RunOptions& options);

} // namespace Workload
