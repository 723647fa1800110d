#pragma once

#include "store/Db.h"
#include "store/ListQuery.h"
#include "store/Result.h"

#include <QVariantMap>

// The statements of the windows that list one table as it is (the list
// windows and the reference lists), and the writes of a reference list's
// form: a row by column name, changed and deleted by the table's key.
namespace TableLists {

// Every row of table in the order of its key, pictures left out: read for
// every row a list returns they would cost memory and time without being
// shown (the column stays, empty, and a window reads its current row's
// picture by key).
ListQuery allRows(const Db& db, const QString& table);
// The rows whose column contains typed (see TextSearch), pictures left out.
ListQuery rowsContaining(const Db& db, const QString& table, const QString& column,
                         const QString& typed);
// Every row as stored, in the table's own order (a reference list).
ListQuery storedRows(const Db& db, const QString& table);

// Inserts row (its columns that are the table's); gives the row's key: the
// value in row, or the one the table gave it when row has none.
Result<QVariant> insertRow(const Db& db, const QString& table, const QVariantMap& row,
                           const QString& keyColumn);
// Sets values on the one row of that key; refused when no row has it any more.
Status updateRow(const Db& db, const QString& table, const QVariantMap& values,
                 const QString& keyColumn, const QVariant& key);
Status deleteRow(const Db& db, const QString& table, const QString& keyColumn, const QVariant& key);

} // namespace TableLists
