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
    if (db.engine() == Engine::Postgres) {
        statements << QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm");
        for (const IndexedTable& indexed : indexedTables()) {
            for (const QString& column : indexed.columns)
                statements << QStringLiteral("CREATE INDEX %1 ON %2 USING gin (%3 gin_trgm_ops)")
                                  .arg(Db::quoted(indexed.table + u'_' + column + u"_trgm"),
                                       Db::quoted(indexed.table), Db::quoted(column));
        }
        return statements;
    }
    for (const IndexedTable& indexed : indexedTables()) {
        const QString fts = Db::quoted(ftsTable(indexed.table));
        const QString base = Db::quoted(indexed.table);
        QStringList columns;
        QStringList newValues;
        QStringList oldValues;
        for (const QString& column : indexed.columns) {
            columns << Db::quoted(column);
            newValues << QStringLiteral("new.") + Db::quoted(column);
            oldValues << QStringLiteral("old.") + Db::quoted(column);
        }
        const QString list = columns.join(u", ");
        const QString insertNew =
            QStringLiteral("INSERT INTO %1(rowid, %2) VALUES (new.rowid, %3);")
                .arg(fts, list, newValues.join(u", "));
        const QString deleteOld =
            QStringLiteral("INSERT INTO %1(%1, rowid, %2) VALUES ('delete', old.rowid, %3);")
                .arg(fts, list, oldValues.join(u", "));
        auto trigger = [&](const QString& suffix) {
            return Db::quoted(ftsTable(indexed.table) + suffix);
        };
        statements << QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(%2, content=%3, "
                                     "content_rowid='rowid', tokenize='trigram')")
                          .arg(fts, list, Db::quoted(indexed.table))
                   << QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN %3 END")
                          .arg(trigger(QStringLiteral("_新增")), base, insertNew)
                   << QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN %3 END")
                          .arg(trigger(QStringLiteral("_删除")), base, deleteOld)
                   // a change of status, stock or anything else leaves the index alone
                   << QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 BEGIN %4 %5 END")
                          .arg(trigger(QStringLiteral("_修改")), list, base, deleteOld, insertNew)
                   << QStringLiteral("INSERT INTO %1(%1) VALUES ('rebuild')").arg(fts);
    }
    return statements;
}

Condition contains(const Db& db, const QString& table, const QString& column,
                   const QString& typed) {
    const QString quotedColumn = Db::quoted(column);
    Condition plain{db.containsCondition(quotedColumn), {Db::containsPattern(typed)}};
    // PostgreSQL's planner takes the pg_trgm index for the same condition
    if (db.engine() == Engine::Postgres || !isIndexed(table, column))
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

Source containing(const Db& db, const QString& table, const QString& column, const QString& typed) {
    const QString base = Db::quoted(table);
    const QString qualified = base + u'.' + Db::quoted(column);
    const Condition plain{db.containsCondition(qualified), {Db::containsPattern(typed)}};
    const Condition through = contains(db, table, column, typed);
    if (through.params.size() == 1) // no index for this one: a scan
        return {base, plain.sql, plain.params};
    const QString fts = Db::quoted(ftsTable(table));
    // CROSS JOIN keeps SQLite's planner from reordering: the index drives
    return {QStringLiteral("%1 CROSS JOIN %2").arg(fts, base),
            QStringLiteral("%1.%2 LIKE ? AND %3.rowid = %1.rowid AND %4")
                .arg(fts, Db::quoted(column), base, plain.sql),
            {through.params.first(), plain.params.first()}};
}

QString withoutIndex(const Db& db, const QString& quotedColumn) {
    return db.engine() == Engine::Sqlite ? u'+' + quotedColumn : quotedColumn;
}

} // namespace TextSearch
