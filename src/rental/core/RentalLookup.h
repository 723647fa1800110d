#pragma once

#include "customers/Customers.h"
#include "customers/MemberLookup.h"
#include "store/Db.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// What the rent and return counters read besides members (MemberLookup):
// copies, goods types and open rents. Every typed value is a bound parameter.
namespace RentalLookup {

inline const QString Available = QStringLiteral("待租");

struct Copy {
    QString barcode;
    QString name;
    QString py;
    QString goodsType;
    QString status;
    Money listPrice;
    QString publisher;
    QString location;
};
// Available copies whose barcode contains the fragment, by barcode; at most
// maxRows + 1 of them, so that the caller can tell there are more.
Result<QList<Copy>> availableCopies(const Db& db, const QString& fragment, int maxRows);
// The copy with exactly this barcode, whatever its state.
Result<std::optional<Copy>> copy(const Db& db, const QString& barcode);

struct GoodsType {
    QString name;
    Money dailyRent;
    Money deposit;
};
Result<std::optional<GoodsType>> goodsType(const Db& db, const QString& name);

// An 出租记录 row not yet returned.
struct OpenRent {
    qint64 id = 0;
    QString barcode;
    QString name;
    Money dailyRent;
    QString card;
    QString memberName;
    Money deposit;
    QDateTime rentedAt;
    QString rentedBy;
};
// The card's open rents (for "散客": every walk-in rent not yet returned).
Result<QList<OpenRent>> openRents(const Db& db, const QString& card);
// The card's open rents of one copy.
Result<QList<OpenRent>> openRentsOf(const Db& db, const QString& barcode, const QString& card);

} // namespace RentalLookup
