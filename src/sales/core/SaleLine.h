#pragma once

#include "store/Money.h"
#include "store/TypedNumber.h"

#include <QList>
#include <QString>

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

// How a counter reads its quantity box named `name` ("数量", "退货数量"): a
// whole number in 0..MaxQuantity; empty: "请输入数量!"; anything else:
// "数量的数字格式不正确: \"1.5\"(应为1到999999的整数)".
TypedNumber::WholeField quantityField(const QString& name);

} // namespace SalePricing
