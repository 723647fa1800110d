#pragma once

#include <QString>

// The customer and payment words every counter shares.

// The walk-in customer: card number, name and member type when no member
// is chosen. It has a member type row but no member row.
inline const QString WalkIn = QStringLiteral("散客");

// How a sale or a return is paid.
enum class Payment { Cash, Card };
inline const QString PayCash = QStringLiteral("现金支付");
inline const QString PayFromCard = QStringLiteral("卡内扣除");
inline QString paymentText(Payment payment) {
    return payment == Payment::Card ? PayFromCard : PayCash;
}

// How a refund goes back: to the card when the sale was paid from it.
inline const QString RefundCash = QStringLiteral("现金返还");
inline const QString RefundToCard = QStringLiteral("返还卡内");
