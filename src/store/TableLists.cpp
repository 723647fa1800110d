#include "store/TableLists.h"

#include "store/Schema.h"
#include "store/TextSearch.h"

namespace TableLists {

namespace {

QString columnsRead(const Db& db, const QString& table) {
    static const QStringList pictures = Schema::columnsOfType(ColumnType::Picture);
    QStringList read;
    bool leftOut = false;
    for (const QString& column : db.columns(table)) {
        if (pictures.contains(column)) {
            read << QStringLiteral("cast(null as %1) as %2")
                        .arg(db.dialect().columnType(ColumnType::Picture), Db::quoted(column));
            leftOut = true;
        } else {
            read << Db::quoted(column);
        }
    }
    return leftOut ? read.join(QStringLiteral(", ")) : QStringLiteral("*");
}

} // namespace

ListQuery allRows(const Db& db, const QString& table) {
    return {QStringLiteral("select %1 from %2").arg(columnsRead(db, table), Db::quoted(table)),
            {},
            db.connectionName(),
            Schema::rowKey(table)};
}

ListQuery rowsContaining(const Db& db, const QString& table, const QString& column,
                         const QString& typed) {
    // an amount is found by the text the list shows for it
    static const QStringList moneyColumns = Schema::columnsOfType(ColumnType::Money);
    const TextSearch::Condition contains =
        TextSearch::contains(db, table, column, typed,
                             moneyColumns.contains(column) ? ColumnType::Money : ColumnType::Text);
    return {QStringLiteral("select %1 from %2 where %3")
                .arg(columnsRead(db, table), Db::quoted(table), contains.sql),
            contains.params, db.connectionName(), Schema::rowKey(table)};
}

ListQuery storedRows(const Db& db, const QString& table) {
    return {QStringLiteral("select * from %1").arg(Db::quoted(table)), {}, db.connectionName()};
}

Result<QVariant> insertRow(const Db& db, const QString& table, const QVariantMap& row,
                           const QString& keyColumn) {
    const QStringList tableColumns = db.columns(table);
    QStringList columns, marks;
    QVariantList values;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        if (!tableColumns.contains(it.key()))
            continue;
        columns << Db::quoted(it.key());
        marks << QStringLiteral("?");
        values << it.value();
    }
    const QString insert =
        QStringLiteral("insert into %1 (%2) values (%3)")
            .arg(Db::quoted(table), columns.join(QStringLiteral(", ")), marks.join(u", "));
    if (row.contains(keyColumn)) {
        if (auto inserted = db.exec(insert, values); !inserted)
            return Error{inserted.error()};
        return row.value(keyColumn);
    }
    // a key the table gives the new row itself
    auto inserted = db.insert(insert, values, keyColumn);
    if (!inserted)
        return Error{inserted.error()};
    return QVariant(inserted.value());
}

Status updateRow(const Db& db, const QString& table, const QVariantMap& values,
                 const QString& keyColumn, const QVariant& key) {
    if (values.isEmpty())
        return {};
    QStringList sets;
    QVariantList params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        sets << QStringLiteral("%1 = ?").arg(Db::quoted(it.key()));
        params << it.value();
    }
    params << key;
    auto updated =
        db.exec(QStringLiteral("update %1 set %2 where %3 = ?")
                    .arg(Db::quoted(table), sets.join(QStringLiteral(", ")), Db::quoted(keyColumn)),
                params);
    if (!updated)
        return Error{updated.error()};
    if (updated.value() == 0)
        return Error{QStringLiteral("该记录已被删除或修改, 请重新打开窗口!")};
    return {};
}

Status deleteRow(const Db& db, const QString& table, const QString& keyColumn,
                 const QVariant& key) {
    auto deleted = db.exec(
        QStringLiteral("delete from %1 where %2 = ?").arg(Db::quoted(table), Db::quoted(keyColumn)),
        {key});
    if (!deleted)
        return Error{deleted.error()};
    return {};
}

} // namespace TableLists
