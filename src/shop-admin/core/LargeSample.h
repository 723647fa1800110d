#pragma once

#include "store/Db.h"

#include <functional>

// A shop after years of use, for measuring: at scale 1 a million copies for
// rent, 200 000 sale items, a million members, ten million rent records, five
// million sale records, five million income rows and the other tables in
// proportion; Chinese titles with their search codes, dates over the last
// five years, about one copy in twelve out on rent. A scale of 0.01 makes a
// hundredth of it. The database makes the rows itself (INSERT ... SELECT
// over a series of numbers), a million rows to a transaction, with the
// filled tables' indexes and trigram triggers dropped for the load and made
// again after it, so scale 1 takes minutes; the schema afterwards is exactly
// the one it had. Refused on a database that already has members, copies or
// sale items (the small sample's reference lists and types are put in first).
namespace LargeSample {

struct Sizes {
    qint64 copies, saleItems, members, rentRecords, saleRecords, incomeRows, expenseRows,
        purchaseRows, refundRows, logRows;
};
Sizes sizesAt(double scale);

// progress(table, rows written so far) is called now and then; at the end
// progress("索引", indexes made so far).
Status fill(const Db& db, double scale,
            const std::function<void(const QString&, qint64)>& progress = {});

// Barcodes and card numbers the generator gives the n-th copy, item or
// member (from 0), for benchmarks that look them up.
QString copyBarcode(qint64 n);
QString itemBarcode(qint64 n);
QString memberCard(qint64 n);

} // namespace LargeSample
