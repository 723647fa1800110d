#include "sales/core/RefundBooking.h"

#include "customers/CardAccount.h"
#include "sales/core/SaleBooking.h"
#include "sales/core/SaleStock.h"
#include "store/Clock.h"

SaleRecord SaleRecord::fromRow(const Rows& rows) {
    SaleRecord r;
    r.id = rows.integer(QStringLiteral("id"));
    r.orderNumber = rows.text(QStringLiteral("销售单号"));
    r.barcode = rows.text(QStringLiteral("条形码"));
    r.name = rows.text(QStringLiteral("商品名称"));
    r.date = rows.dateTime(QStringLiteral("日期"));
    r.unitPrice = rows.money(QStringLiteral("销售单价"));
    r.quantity = rows.integer(QStringLiteral("数量"));
    r.total = rows.money(QStringLiteral("合计"));
    r.paymentMode = rows.text(QStringLiteral("支付方式"));
    r.itemId = rows.text(QStringLiteral("商品id"));
    r.memberCard = rows.text(QStringLiteral("会员卡号"));
    r.memberName = rows.text(QStringLiteral("姓名"));
    r.adminName = rows.text(QStringLiteral("管理员"));
    return r;
}

QString refundMethodFor(const QString& paymentMode) {
    return paymentMode == PayFromCard ? RefundToCard : RefundCash;
}

ListQuery saleRecordsOf(const QString& barcode, const QString& connectionName) {
    return {QStringLiteral(
                "select s.*, (select COALESCE(sum(r.数量), 0) from 退货记录 r where "
                "r.销售记录id = s.id) as 已退数量, (select COALESCE(sum(r.退还金额), 0) from "
                "退货记录 r where r.销售记录id = s.id) as 已退金额 from 销售记录 s where "
                "s.条形码 = ? order by s.日期 desc, s.id desc"),
            {barcode},
            connectionName};
}

RefundLeft refundLeft(qint64 soldQuantity, Money soldTotal, qint64 refundedQuantity,
                      Money refundedAmount) {
    return {std::max<qint64>(0, soldQuantity - refundedQuantity),
            std::max(Money(), soldTotal - refundedAmount)};
}

Money proposedRefund(Money unitPrice, qint64 quantity, const RefundLeft& left) {
    if (quantity >= left.quantity)
        return left.amount;
    const Money amount = unitPrice * quantity;
    return amount > left.amount ? left.amount : amount;
}

Result<std::optional<SaleRecord>> loadSaleRecord(const Db& db, qint64 id) {
    auto rows = db.select(QStringLiteral("select * from 销售记录 where id = ?") +
                              (db.inTransactionNow() ? db.dialect().lockRead() : QString()),
                          {id});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<SaleRecord>();
    return std::optional<SaleRecord>(SaleRecord::fromRow(rows.value()));
}

Result<RefundReceipt> bookRefund(const Db& db, const RefundOrder& order) {
    if (order.quantity <= 0 || order.amount <= Money())
        return Error{QStringLiteral("请填写退货数量和退还金额!")};
    RefundReceipt receipt;
    Status booked = db.inTransaction(
        [&]() -> Status {
            auto found = loadSaleRecord(db, order.saleRecordId);
            if (!found)
                return Error{found.error()};
            if (!found.value())
                return Error{QStringLiteral("这条销售记录已不存在")};
            const SaleRecord& sale = *found.value();
            // the sale line is locked, so two refunds at once cannot both pass
            auto refunded =
                db.select(QStringLiteral(
                              "select COALESCE(sum(数量), 0) as n, COALESCE(sum(退还金额), 0) as m "
                              "from 退货记录 where 销售记录id = ?"),
                          {sale.id});
            if (!refunded)
                return Error{refunded.error()};
            refunded.value().next();
            const RefundLeft left =
                refundLeft(sale.quantity, sale.total, refunded.value().integer(QStringLiteral("n")),
                           refunded.value().money(QStringLiteral("m")));
            if (order.quantity > left.quantity || order.amount > left.amount)
                return Error{QStringLiteral("该销售记录最多还能退 %1 件, 金额 %2 元.")
                                 .arg(left.quantity)
                                 .arg(left.amount.toString())};
            receipt.method = refundMethodFor(sale.paymentMode);
            receipt.moment = Clock::now();

            auto row = db.insert(
                QStringLiteral(
                    "insert into 退货记录(销售单号,商品id,条形码,商品名称,数量,退还金额,日期,"
                    "会员卡号,姓名,管理员,销售记录id,退还方式) "
                    "values(?,?,?,?,?,?,?,?,?,?,?,?)"),
                {sale.orderNumber, sale.itemId, sale.barcode, sale.name, order.quantity,
                 QVariant::fromValue(order.amount), receipt.moment, sale.memberCard,
                 sale.memberName, order.adminName, sale.id, receipt.method});
            if (!row)
                return Error{row.error()};
            receipt.refundId = row.value();

            bool isNumber = false;
            const qint64 itemId = sale.itemId.trimmed().toLongLong(&isNumber);
            if (Status s =
                    SaleStock::change(db, sale.barcode, isNumber ? itemId : -1, order.quantity);
                !s)
                return s;

            if (receipt.method == RefundToCard)
                return CardAccount::returnToCard(db, sale.memberCard, order.amount, -order.amount);
            return CardAccount::changeIfMember(db, sale.memberCard, std::nullopt, -order.amount);
        },
        order.bookingKey);
    if (!booked)
        return Error{booked.error()};
    return receipt;
}
