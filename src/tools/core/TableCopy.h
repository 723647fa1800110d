#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <functional>

// Told how far a long piece of work has come (0 to 100); answers false to
// stop it, which then leaves nothing behind.
using ProgressStep = std::function<bool(int percent)>;

// The rows of the shop's tables, copied from one database to another of the
// same schema version, every value as the source holds it (amounts to the
// ten-thousandth, dates, pictures' bytes, identity values, which the
// target's counters then pass). Runs inside a transaction of the target's
// that the caller holds open; the target's tables are emptied first.
namespace TableCopy {

Status copyAll(const Db& source, const Db& target, const ProgressStep& progress = {});

} // namespace TableCopy
