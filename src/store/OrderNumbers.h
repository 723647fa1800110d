#pragma once

#include "store/Db.h"

// The last rent and sale order numbers, kept in 系统信息. A booking takes
// its number inside its own transaction by raising the stored counter, so two
// workstations never book under one number.
namespace OrderNumbers {

enum class Kind { Rent, Sale };

// The number the next booking will most likely get (stored + 1), for display.
Result<qint64> peekNext(const Db& db, Kind kind);

// Raises the counter (every row of 系统信息) and gives the new number. Call
// it inside the booking's transaction.
Result<qint64> take(const Db& db, Kind kind);

} // namespace OrderNumbers
