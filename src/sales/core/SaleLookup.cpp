#include "sales/core/SaleLookup.h"

namespace SaleLookup {

namespace {

QString inStockWhere(const Db& db) {
    return QStringLiteral(" from 销售库 where 库存 > 0 and ") +
           db.containsCondition(Db::quoted(QStringLiteral("条形码")));
}

} // namespace

Result<QList<qint64>> itemsInStock(const Db& db, const QString& fragment, int limit) {
    auto rows = db.select(QStringLiteral("select 商品id") + inStockWhere(db) +
                              QStringLiteral(" order by 商品id limit ?"),
                          {Db::containsPattern(fragment), limit});
    if (!rows)
        return Error{rows.error()};
    QList<qint64> ids;
    while (rows.value().next())
        ids << rows.value().integer(QStringLiteral("商品id"));
    return ids;
}

ListQuery itemsInStockList(const QString& fragment, const QString& connectionName) {
    return {QStringLiteral("select *") + inStockWhere(Db(connectionName)) +
                QStringLiteral(" order by 商品id"),
            {Db::containsPattern(fragment)},
            connectionName};
}

Result<std::optional<Item>> item(const Db& db, qint64 itemId) {
    auto rows = db.select(QStringLiteral("select * from 销售库 where 商品id = ?"), {itemId});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<Item>();
    const Rows& r = rows.value();
    return std::optional<Item>(Item{itemId, r.text(QStringLiteral("条形码")),
                                    r.text(QStringLiteral("商品名称")),
                                    r.money(QStringLiteral("定价"))});
}

} // namespace SaleLookup
