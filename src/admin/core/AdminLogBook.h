#pragma once

#include "store/Db.h"
#include "store/ListQuery.h"
#include "store/Result.h"

#include <QString>

// The administrator log 管理员日志: read, and deleted row by row or whole.
// The rows are written by the catalogue and member windows.
namespace AdminLogBook {

inline const QString Table = QStringLiteral("管理员日志");

// The rows in the order the database gives them.
ListQuery listQuery(const QString& connectionName = Connection::Shared);

// Deletes the row with this id; deleting a row already gone changes nothing.
Status deleteEntry(const Db& db, qint64 id);

// Deletes every row.
Status deleteAll(const Db& db);

} // namespace AdminLogBook
