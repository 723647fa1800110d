#pragma once

#include "store/Result.h"
#include "store/ShopConfig.h"

#include <QString>

// Opening the shop's database for a workstation, as the program starts.
namespace ShopDatabase {

// Refused, naming shop-admin upgrade (or init), when the database is older
// than the program and the connection's user may not change its tables.
Status mayOpen(const QString& connectionName);

// Opens the named connection where the configuration says, with the
// statement deadlines of de.ini, and brings the database up to date; a new
// embedded file gets its tables and first rows. A workstation whose user
// may only read and write rows never upgrades.
Status open(const ShopConfig& config, const QString& connectionName);

} // namespace ShopDatabase
