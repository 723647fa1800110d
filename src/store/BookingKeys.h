#pragma once

#include "store/Result.h"

#include <QString>
#include <optional>

// Every booking carries a key made before it starts and written inside its
// own transaction (table booking_keys: key, order number, time, written and
// looked up by Db::inTransaction). When the
// answer to its COMMIT is lost (the server went away, the disk failed on
// the sync), the key tells afterwards whether the booking stands. A key
// whose look-up could not be made yet stays unresolved: booking under it
// again is refused until the look-up answers.
namespace BookingKeys {

// A new key (a random UUID).
QString make();

// Keys whose booking's outcome is not known yet, process-wide.
void markUnresolved(const QString& key);
bool isUnresolved(const QString& key);
void forget(const QString& key);

// The key of the lines a window shows, kept from one try to the next
// while their booking's outcome is unknown, so that pressing the button
// again first looks the earlier try up instead of booking twice.
class Attempt {
public:
    // Made on first use; the same until the lines are booked or let go.
    const QString& key();
    enum class Failure {
        NotDone,    // nothing was written: the lines may be booked again
        Unknown,    // "结果未知": the lines stay, booking them again waits for the answer
        DoneEarlier // an earlier try stood: the lines are booked, the window starts afresh
    };
    // What a booking under key() that failed with error means.
    Failure failed(const QString& error);
    // The lines were booked (or are let go): the next ones get a new key.
    void clear() { m_key.clear(); }

private:
    QString m_key;
};

// The texts the clerk is told.
QString notDone();
QString unknown(const QString& key);
QString alreadyDone(const QString& orderNumber);

} // namespace BookingKeys
