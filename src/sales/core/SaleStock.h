#pragma once

#include "store/Db.h"

namespace SaleStock {

// Changes the stock of a sold item by delta, relative to what is stored.
// The row is the catalogue row with the barcode and item id; when that row
// is gone, the first row carrying the barcode; when no row carries the
// barcode, nothing changes. Call it inside the booking's transaction.
Status change(const Db& db, const QString& barcode, qint64 itemId, qint64 delta);

} // namespace SaleStock
