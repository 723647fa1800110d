#pragma once

#include "rental/core/RentPricing.h"
#include "store/Db.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Renting copies out: every copy is marked as rented to the renter and
// counted, and one 出租记录 row per copy is written under one new rent order
// number. No money changes hands; the deposit is only recorded.
struct RentLine {
    QString barcode;
    QString name;
    QString py;
    QString goodsType; // shown, not written
    Money deposit;
    Money dailyRent;
};

struct RentOrder {
    QList<RentLine> lines;
    QString card;       // the member's card, or "散客"
    QString memberName; // the member's name, or "散客"
    RentPricing::DepositMode depositMode = RentPricing::DepositMode::Take;
    QString adminName;
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

struct RentReceipt {
    qint64 orderNumber = 0;
    QDateTime rentedAt;
    int lineCount = 0;
};

// One transaction: all lines or none. Refused, with nothing written, when a
// copy is no longer available ("待租") or is gone from the catalogue; the
// message names its barcode.
Result<RentReceipt> bookRent(const Db& db, const RentOrder& order);
