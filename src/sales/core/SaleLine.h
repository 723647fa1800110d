#pragma once

#include "store/Money.h"

#include <QList>
#include <QString>
#include <optional>

// One line of a sale as the counter shows it. The line total is the master
// value: the unit price and the discount are derived from it.
struct SaleLine {
    QString barcode;   // 条形码
    QString name;      // 商品名称
    Money listPrice;   // 定价
    Money unitPrice;   // 销售单价
    qint64 quantity{}; // 数量, at least 1
    Money discount;    // 折扣, a multiplier (1 is the full price)
    Money total;       // 合计
    qint64 itemId{};   // 商品id of the 销售库 row
};

namespace SalePricing {

// Largest quantity one line accepts; more is a typing slip, not a sale.
inline constexpr qint64 MaxQuantity = 999999;

// A new line: unit price = list price × discount, total = quantity × unit
// price, both to four places half to even.
SaleLine makeLine(const QString& barcode, const QString& name, Money listPrice, qint64 quantity,
                  Money discount, qint64 itemId);

// Derives unit price (total ÷ quantity) and discount (unit price ÷ list
// price) of every line from its total and gives the sum of the totals. A
// list price of 0 has no discount to derive: such a line shows 0.
Money countPrice(QList<SaleLine>& lines);

// The text of a quantity box as a whole number in 0..MaxQuantity; nullopt
// for an empty text, anything but digits, or a number too large.
std::optional<qint64> parseQuantity(const QString& text);

// A discount, line total or amount box: a plain decimal without sign
// ("0.85", "12.", ".5"); nullopt for "", ".", "1.2.3" and the like.
std::optional<Money> parseAmount(const QString& text);

} // namespace SalePricing
