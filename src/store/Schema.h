#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QStringList>

// The shop's 20 tables, their keys and indexes, and their first rows. The
// schema carries a version number; a database of an older version is
// brought up to date step by step when it is opened.
namespace Schema {

inline constexpr int CurrentVersion = 5;

// The 20 tables of the shop (the version table is not one of them).
QStringList tableNames();
// The most characters a text box for the column takes: 255 for a text
// column, 4000 for a long text (备注, 说明, 简介); 0 for a column of
// another type or none of the table's.
int textLength(const QString& table, const QString& column);
// The names of the columns of one type in any of the tables: the money
// columns, the dates, the yes/no columns... (a list, each name once).
QStringList columnsOfType(ColumnType type);
// One column of a table as the schema makes it.
struct SchemaColumn {
    QString name;
    ColumnType type;
    // a key the database keeps unique and never empty (the identity, the
    // primary key or the unique column)
    bool key = false;
};
// The columns of one of the 20 tables in their order; empty for another name.
QList<SchemaColumn> columnsOf(const QString& table);
// The column that tells a table's rows apart: its identity column, else its
// unique one; empty when it has none.
QString rowKey(const QString& table);

// Version of the database: 0 when it holds none of the shop's tables.
Result<int> version(const Db& db);

// Creates every table and the first rows on an empty database; refused
// when the shop's tables are already there.
Status create(const Db& db);

// Brings a database of an older version up to date; creates the schema on
// an empty database. Refused for a database newer than this program.
Status openOrCreate(const Db& db);
// Gathers the planner's statistics of a database that never had them (a
// file opened for the first time, or just filled).
Status gatherStatisticsOnce(const Db& db);

// For tests of the upgrade path: creates the schema only up to a version.
Status createUpTo(const Db& db, int version);

} // namespace Schema
