#include "sales/core/SaleLookup.h"

#include "store/TextSearch.h"

namespace SaleLookup {

namespace {

// The items in stock whose barcode contains fragment, through the trigram
// index.
TextSearch::Condition inStock(const Db& db, const QString& fragment) {
    TextSearch::Condition found =
        TextSearch::contains(db, QStringLiteral("销售库"), QStringLiteral("条形码"), fragment);
    found.sql = QStringLiteral(" from 销售库 where 库存 > 0 and ") + found.sql;
    return found;
}

} // namespace

Result<QList<qint64>> itemsInStock(const Db& db, const QString& fragment, int limit) {
    const TextSearch::Condition found = inStock(db, fragment);
    auto rows = db.select(QStringLiteral("select 商品id") + found.sql +
                              QStringLiteral(" order by 商品id limit ?"),
                          found.params + QVariantList{limit});
    if (!rows)
        return Error{rows.error()};
    QList<qint64> ids;
    while (rows.value().next())
        ids << rows.value().integer(QStringLiteral("商品id"));
    return ids;
}

ListQuery itemsInStockList(const QString& fragment, const QString& connectionName) {
    const TextSearch::Condition found = inStock(Db(connectionName), fragment);
    // in the order of their key, which also pages the list by key
    return {QStringLiteral("select *") + found.sql, found.params, connectionName,
            QStringLiteral("商品id")};
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
