#include "store/TextSearch.h"

namespace TextSearch {

const QList<IndexedTable>& indexedTables() {
    static const QList<IndexedTable> tables = {
        {QStringLiteral("出租库"), {QStringLiteral("条形码"), QStringLiteral("商品名称")}},
        {QStringLiteral("销售库"), {QStringLiteral("条形码"), QStringLiteral("商品名称")}},
        {QStringLiteral("会员库"), {QStringLiteral("会员卡号"), QStringLiteral("会员姓名")}},
    };
    return tables;
}

bool isIndexed(const QString& table, const QString& column) {
    for (const IndexedTable& indexed : indexedTables()) {
        if (indexed.table == table)
            return indexed.columns.contains(column);
    }
    return false;
}

QString ftsTable(const QString& table) {
    return table + QStringLiteral("_查找");
}

QStringList createStatements(const Db& db) {
    QStringList statements;
    for (const IndexedTable& indexed : indexedTables()) {
        QStringList more =
            db.dialect().trigramIndex(indexed.table, indexed.columns, ftsTable(indexed.table));
        // the extension once
        if (!statements.isEmpty() && !more.isEmpty() && more.first() == statements.first())
            more.removeFirst();
        statements << more;
    }
    return statements;
}

Condition contains(const Db& db, const QString& table, const QString& column, const QString& typed,
                   ColumnType type) {
    const QString quotedColumn = Db::quoted(column);
    Condition plain{db.containsCondition(quotedColumn, type), {Db::containsPattern(typed)}};
    // PostgreSQL's planner takes the pg_trgm index for the same condition
    if (!db.dialect().searchesThroughTrigramTable() || !isIndexed(table, column))
        return plain;
    // SQLite's trigram LIKE finds nothing for one or two CJK characters, and
    // it knows no ESCAPE: such fragments are scanned
    const bool wildcards = typed.contains(u'%') || typed.contains(u'_') || typed.contains(u'\\');
    if (typed.toUcs4().size() < 3 || wildcards)
        return plain;
    // The index drives (rowids of the matching rows first); the plain
    // condition after it keeps the result exactly that of `like` (the
    // tokenizer folds the case of more letters than `like` does).
    return {QStringLiteral("%1.rowid IN (SELECT rowid FROM %2 WHERE %3 LIKE ?) AND %4")
                .arg(Db::quoted(table), Db::quoted(ftsTable(table)), quotedColumn, plain.sql),
            {QVariant(u'%' + typed + u'%'), plain.params.first()}};
}

} // namespace TextSearch
