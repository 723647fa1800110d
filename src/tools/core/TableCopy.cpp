#include "tools/core/TableCopy.h"

#include "store/Schema.h"

namespace TableCopy {

namespace {

// column: one of Schema::columnsOf
QVariant valueOf(Rows& rows, const auto& column) {
    if (rows.isNull(column.name))
        return {};
    switch (column.type) {
    case ColumnType::Money:
        return QVariant::fromValue(rows.money(column.name));
    case ColumnType::Date:
        return rows.date(column.name);
    case ColumnType::DateTime:
        return rows.dateTime(column.name);
    case ColumnType::YesNo:
        return rows.yesNo(column.name);
    case ColumnType::Picture:
        return rows.bytes(column.name);
    case ColumnType::Integer:
    case ColumnType::Identity:
        return rows.integer(column.name);
    case ColumnType::Text:
    case ColumnType::Memo:
        return rows.text(column.name);
    }
    return {};
}

const QString Stopped = QStringLiteral("操作已取消, 没有做任何改动.");

} // namespace

Status copyAll(const Db& source, const Db& target, const ProgressStep& progress) {
    const QStringList tables = Schema::tableNames();
    qint64 total = 0;
    for (const QString& table : tables) {
        auto count =
            source.scalarInteger(QStringLiteral("select count(*) from %1").arg(Db::quoted(table)));
        if (!count)
            return Error{count.error()};
        total += count.value().value_or(0);
    }
    qint64 done = 0;
    int shown = -1;
    for (const QString& table : tables) {
        if (auto emptied = target.exec(QStringLiteral("delete from %1").arg(Db::quoted(table)));
            !emptied)
            return Error{emptied.error()};
        const auto columns = Schema::columnsOf(table);
        QStringList names, marks;
        QString identity;
        for (const auto& column : columns) {
            names << Db::quoted(column.name);
            marks << QStringLiteral("?");
            if (column.type == ColumnType::Identity)
                identity = column.name;
        }
        const QString insert = QStringLiteral("insert into %1 (%2) values (%3)")
                                   .arg(Db::quoted(table), names.join(u','), marks.join(u','));
        const QString key = Schema::rowKey(table);
        auto rows = source.select(
            QStringLiteral("select %1 from %2%3")
                .arg(names.join(u','), Db::quoted(table),
                     key.isEmpty() ? QString() : QStringLiteral(" order by ") + Db::quoted(key)));
        if (!rows)
            return Error{rows.error()};
        while (rows.value().next()) {
            QVariantList values;
            values.reserve(columns.size());
            for (const auto& column : columns)
                values << valueOf(rows.value(), column);
            if (auto written = target.exec(insert, values); !written)
                return Error{table + QStringLiteral(": ") + written.error()};
            ++done;
            const int percent = total == 0 ? 100 : int(done * 100 / total);
            if (progress && percent != shown) {
                shown = percent;
                if (!progress(percent))
                    return Error{Stopped};
            }
        }
        if (!identity.isEmpty()) {
            const QString past = target.dialect().identityPastLargest(table, identity);
            if (!past.isEmpty()) {
                if (auto moved = target.select(past, {Db::quoted(table), identity}); !moved)
                    return Error{moved.error()};
            }
        }
    }
    return {};
}

} // namespace TableCopy
