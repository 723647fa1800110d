#pragma once

#include "sales/SaleLine.h"
#include "store/Db.h"

#include <QDateTime>

// The walk-in customer: card number, name and member type when no member
// is chosen.
inline const QString WalkInCustomer = QStringLiteral("散客");
// The two payment modes offered; any other typed text books the lines and
// the points but neither income nor a card deduction.
inline const QString PayCash = QStringLiteral("现金支付");
inline const QString PayFromCard = QStringLiteral("卡内扣除");

struct SaleOrder {
    QList<SaleLine> lines;
    QString memberCard = WalkInCustomer;
    QString memberName = WalkInCustomer;
    QString paymentMode = PayCash;
    QString adminName;
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
Result<SaleReceipt> bookSale(const Db& db, const SaleOrder& order);
