#pragma once

#include "customers/Customers.h"
#include "store/Db.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Taking copies back: each copy's open rent record is closed with the days
// and the rent, the copy becomes available again, and the rent is either
// taken off the renter's card or booked as income ("租金"), one income row
// per copy. Deposits are handed back at the counter and never booked.

struct ReturnLine {
    qint64 rentId = 0; // the 出租记录 row the line settles
    QString barcode;
    QString name;
    QString card;       // the card the copy was rented to
    QString memberName; // and its name
    int days = 1;
    Money rent;
    // shown at the counter, not written
    Money dailyRent = {};
    Money deposit = {};
    QDateTime rentedAt = {};
};

struct ReturnOrder {
    QList<ReturnLine> lines;
    Payment payment = Payment::Cash;
    QString remark; // as typed; the rent record keeps it trimmed
    QString adminName;
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

struct ReturnReceipt {
    QDateTime returnedAt;
    int lineCount = 0;
    Money rentTotal;
};

// One transaction: all lines or none. A line whose rent record is no longer
// open (returned meanwhile, e.g. at another workstation) is refused, naming
// its barcode, and nothing is written. Paid from the card, each line's rent
// is taken off the balance of the card it carries (which may go below 0); a
// card without a member row (the walk-in customer, or a card deleted or
// renumbered since) is refused, naming the reason, and nothing is written.
Result<ReturnReceipt> bookReturn(const Db& db, const ReturnOrder& order);
