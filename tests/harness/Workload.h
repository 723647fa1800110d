#pragma once

#include "Ledger.h"

#include <QRandomGenerator>

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
// it commits. tag names the booking in its rows (handler names), so order
// numbers shared by two bookings show. A booking that finds nothing to work
// on (no copy available) gives an empty delta and is not booked.
struct Planned {
    Values delta;
    std::function<Status()> book;
};
Result<Planned> plan(const Db& db, Kind kind, const QString& tag, QRandomGenerator& random);

// Books count random bookings, writing the journal (Ledger) around each.
// Gives a summary line: committed, refused, and the texts of failures.
Result<QString> run(const Db& db, const QString& journalPath, qint64 count, quint32 seed,
                    const QString& tag);

} // namespace Workload
