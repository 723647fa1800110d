#include "tools/core/ShopFigures.h"

#include "store/Schema.h"

#include <QJsonDocument>
#include <QJsonObject>

Result<ShopFigures> ShopFigures::read(const Db& db) {
    ShopFigures figures;
    for (const QString& table : Schema::tableNames()) {
        QStringList columns{QStringLiteral("count(*) as row_count")};
        QStringList money;
        for (const auto& column : Schema::columnsOf(table)) {
            if (column.type != ColumnType::Money)
                continue;
            money << column.name;
            columns << QStringLiteral("sum(%1) as %2")
                           .arg(Db::quoted(column.name),
                                QStringLiteral("sum_%1").arg(money.size()));
        }
        auto rows = db.select(QStringLiteral("select %1 from %2")
                                  .arg(columns.join(QStringLiteral(", ")), Db::quoted(table)));
        if (!rows)
            return Error{rows.error()};
        TableFigures found{table, 0, {}};
        if (rows.value().next()) {
            found.rows = rows.value().integer(QStringLiteral("row_count"));
            for (int i = 0; i < money.size(); ++i) {
                const Money sum = rows.value().money(QStringLiteral("sum_%1").arg(i + 1));
                if (!sum.isValid())
                    return Error{Money::sumOutOfRangeMessage(table + u'.' + money[i])};
                found.sums.insert(money[i], sum);
            }
        }
        figures.tables << found;
    }
    return figures;
}

QString ShopFigures::difference(const ShopFigures& expected, const ShopFigures& found) {
    QMap<QString, TableFigures> byName;
    for (const TableFigures& table : found.tables)
        byName.insert(table.table, table);
    for (const TableFigures& want : expected.tables) {
        if (!byName.contains(want.table))
            return QStringLiteral("缺少数据表 %1").arg(want.table);
        const TableFigures& got = byName[want.table];
        if (got.rows != want.rows)
            return QStringLiteral("%1 应有 %2 条记录, 实有 %3 条")
                .arg(want.table)
                .arg(want.rows)
                .arg(got.rows);
        for (auto it = want.sums.cbegin(); it != want.sums.cend(); ++it) {
            const Money sum = got.sums.value(it.key());
            if (sum != it.value())
                return QStringLiteral("%1.%2 的合计应为 %3, 实为 %4")
                    .arg(want.table, it.key(), it.value().toString(), sum.toString());
        }
    }
    return {};
}

QString ShopFigures::toJson() const {
    QJsonObject all;
    for (const TableFigures& table : tables) {
        QJsonObject sums;
        for (auto it = table.sums.cbegin(); it != table.sums.cend(); ++it)
            sums.insert(it.key(), it.value().toString());
        // counts as text: a JSON number is a double
        all.insert(table.table, QJsonObject{{QStringLiteral("rows"), QString::number(table.rows)},
                                            {QStringLiteral("sums"), sums}});
    }
    return QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact));
}

std::optional<ShopFigures> ShopFigures::fromJson(const QString& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject())
        return std::nullopt;
    ShopFigures figures;
    const QJsonObject all = document.object();
    for (const QString& table : Schema::tableNames()) {
        const QJsonObject one = all.value(table).toObject();
        bool ok = false;
        TableFigures found{table, one.value(QStringLiteral("rows")).toString().toLongLong(&ok), {}};
        if (!ok)
            return std::nullopt;
        const QJsonObject sums = one.value(QStringLiteral("sums")).toObject();
        for (auto it = sums.begin(); it != sums.end(); ++it) {
            const std::optional<Money> sum = Money::parse(it.value().toString());
            if (!sum)
                return std::nullopt;
            found.sums.insert(it.key(), *sum);
        }
        figures.tables << found;
    }
    return figures;
}
