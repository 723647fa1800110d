#pragma once

#include "store/Db.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// "Contains" searches (a typed fragment anywhere in a barcode, a title, a
// card number or a name) through a trigram index, offering exactly the rows
// the plain `like` condition offers. On SQLite the index is an FTS5 table
// with the trigram tokenizer over the base table's rows (external content,
// kept fresh by triggers that fire only when an indexed column changes); on
// PostgreSQL a pg_trgm GIN index on the column. Fragments of fewer than
// three characters have no trigram: they are searched by a plain scan.
namespace TextSearch {

struct IndexedTable {
    QString table;
    QStringList columns;
};

// The tables and columns that carry a trigram index.
const QList<IndexedTable>& indexedTables();
bool isIndexed(const QString& table, const QString& column);
// Name of the SQLite FTS5 table of an indexed table.
QString ftsTable(const QString& table);

// Statements that build the indexes (and fill them from the rows already
// there) on the connection's engine.
QStringList createStatements(const Db& db);

// A condition for a where clause of a statement that reads table unaliased:
// its column contains typed (% and _ match themselves). A money column
// contains typed when the shortest form of its amount does ("25.5" finds
// 25.5 and 125.5, never 25.05): name its type.
struct Condition {
    QString sql;
    QVariantList params;
};
Condition contains(const Db& db, const QString& table, const QString& column, const QString& typed,
                   ColumnType type = ColumnType::Text);

} // namespace TextSearch
