#pragma once

#include "store/Db.h"
#include "store/ListQuery.h"

#include <QList>
#include <optional>

// What the sale counter reads of the catalogue (销售库).
namespace SaleLookup {

// Item ids of the items in stock whose barcode contains the fragment; at
// most `limit` of them.
Result<QList<qint64>> itemsInStock(const Db& db, const QString& fragment, int limit);
// The same items, whole rows by item id, for the choice window.
ListQuery itemsInStockList(const QString& fragment, const QString& connectionName);

struct Item {
    qint64 id{};
    QString barcode;
    QString name;
    Money listPrice;
};
Result<std::optional<Item>> item(const Db& db, qint64 itemId);

} // namespace SaleLookup
