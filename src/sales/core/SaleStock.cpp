#include "sales/core/SaleStock.h"

namespace SaleStock {

Status change(const Db& db, const QString& barcode, qint64 itemId, qint64 delta) {
    auto changed = db.exec(QStringLiteral("update 销售库 set 库存 = COALESCE(库存, 0) + ? "
                                          "where 商品id = ? and 条形码 = ?"),
                           {delta, itemId, barcode});
    if (!changed)
        return Error{changed.error()};
    if (changed.value() > 0)
        return {};
    auto first = db.scalarInteger(QStringLiteral("select min(商品id) from 销售库 where 条形码 = ?"),
                                  {barcode});
    if (!first)
        return Error{first.error()};
    if (!first.value())
        return {};
    auto fallback = db.addTo(QStringLiteral("销售库"), QStringLiteral("库存"), delta,
                             QStringLiteral("商品id"), *first.value());
    if (!fallback)
        return Error{fallback.error()};
    return {};
}

} // namespace SaleStock
