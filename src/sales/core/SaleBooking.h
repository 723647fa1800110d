#pragma once

#include "customers/Customers.h"
#include "sales/core/SaleLine.h"
#include "store/Db.h"

#include <QDateTime>

struct SaleOrder {
    QList<SaleLine> lines;
    QString memberCard = WalkIn;
    QString memberName = WalkIn;
    QString paymentMode = PayCash;
    QString adminName;
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

struct SaleReceipt {
    qint64 orderNumber{};
    Money total;
    QDateTime moment;
};

// Books a sale in one transaction: takes the next sale order number, lowers
// each item's stock by its quantity (it may go below zero), writes one
// 销售记录 row per line, books cash takings as income "商品销售", takes a
// card payment off the member's balance (which may go below zero) and adds
// the total to the member's points. Either all of it is written or nothing.
// Refused: a payment text other than "现金支付" and "卡内扣除", and a card
// payment for the walk-in customer or a card no longer in the registry.
Result<SaleReceipt> bookSale(const Db& db, const SaleOrder& order);
