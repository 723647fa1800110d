#pragma once

#include "customers/Customers.h"
#include "store/Db.h"
#include "store/ListQuery.h"

#include <QDateTime>
#include <optional>

// One row of 销售记录, the line a customer brings back.
struct SaleRecord {
    qint64 id{};
    QString orderNumber; // 销售单号
    QString barcode;     // 条形码
    QString name;        // 商品名称
    QDateTime date;      // 日期
    Money unitPrice;     // 销售单价
    qint64 quantity{};   // 数量
    Money total;         // 合计
    QString paymentMode; // 支付方式
    QString itemId;      // 商品id, as stored
    QString memberCard;  // 会员卡号
    QString memberName;  // 姓名
    QString adminName;   // 管理员

    static SaleRecord fromRow(const Rows& rows);
};

// Money goes back to the card when the sale was paid from it, else in cash.
QString refundMethodFor(const QString& paymentMode);

// The sale lines of a barcode, the newest first, each with what has been
// refunded of it so far (已退数量, 已退金额).
ListQuery saleRecordsOf(const QString& barcode, const QString& connectionName);

// What is left to refund of a sale line.
struct RefundLeft {
    qint64 quantity{};
    Money amount;
};
RefundLeft refundLeft(qint64 soldQuantity, Money soldTotal, qint64 refundedQuantity,
                      Money refundedAmount);
// The amount proposed for a quantity: the unit price times it, but for the
// whole quantity left exactly the amount left (a line worth 10 for 3 units
// gives 10, not 9.9999), and never more than the amount left.
Money proposedRefund(Money unitPrice, qint64 quantity, const RefundLeft& left);

Result<std::optional<SaleRecord>> loadSaleRecord(const Db& db, qint64 id);

struct RefundOrder {
    qint64 saleRecordId{};
    qint64 quantity{};
    Money amount;
    QString adminName;
    // The key of this booking, made before it starts (empty: a new one).
    QString bookingKey = {};
};

struct RefundReceipt {
    qint64 refundId{};
    QString method;
    QDateTime moment;
};

// Books a refund in one transaction: one 退货记录 row, the units back into
// stock, and for a member the amount back on the card (when the sale was
// paid from it) and off the points. A sale line may be refunded more than
// once, but never beyond what is left of it: "该销售记录最多还能退 N 件, 金额 M
// 元."; quantity and amount must be above 0.
Result<RefundReceipt> bookRefund(const Db& db, const RefundOrder& order);
