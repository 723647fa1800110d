#include "sales/core/SaleBooking.h"

#include "customers/CardAccount.h"
#include "sales/core/SaleStock.h"
#include "store/Clock.h"
#include "store/OrderNumbers.h"

#include <algorithm>

namespace {

QVariant money(Money amount) {
    return QVariant::fromValue(amount);
}

} // namespace

Result<SaleReceipt> bookSale(const Db& db, const SaleOrder& order) {
    if (order.lines.isEmpty())
        return Error{QStringLiteral("没有要销售的商品")};
    if (order.paymentMode != PayCash && order.paymentMode != PayFromCard)
        return Error{QStringLiteral("支付方式只能是\"%1\"或\"%2\".").arg(PayCash, PayFromCard)};
    Money total;
    for (const SaleLine& line : order.lines) {
        if (line.quantity < 1)
            return Error{QStringLiteral("商品\"%1\"的数量必须大于0").arg(line.barcode)};
        total += line.total;
    }

    SaleReceipt receipt;
    receipt.total = total;
    Status booked = db.inTransaction(
        [&]() -> Status {
            auto number = OrderNumbers::take(db, OrderNumbers::Kind::Sale);
            if (!number)
                return Error{number.error()};
            receipt.orderNumber = number.value();
            const QString orderText = QString::number(receipt.orderNumber);

            // Stock rows are taken in the order of their keys, so two bookings
            // over the same items wait for each other instead of deadlocking.
            QList<const SaleLine*> byItem;
            for (const SaleLine& line : order.lines)
                byItem << &line;
            std::sort(byItem.begin(), byItem.end(),
                      [](const SaleLine* a, const SaleLine* b) { return a->itemId < b->itemId; });
            for (const SaleLine* line : byItem) {
                if (Status s = SaleStock::change(db, line->barcode, line->itemId, -line->quantity);
                    !s)
                    return s;
            }
            // one moment for the whole sale
            receipt.moment = Clock::now();
            for (const SaleLine& line : order.lines) {
                auto row =
                    db.exec(QStringLiteral(
                                "insert into 销售记录(销售单号,条形码,商品名称,定价,销售单价,数量,"
                                "折扣,合计,商品id,会员卡号,姓名,日期,支付方式,管理员) "
                                "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                            {orderText, line.barcode, line.name, money(line.listPrice),
                             money(line.unitPrice), line.quantity, money(line.discount),
                             money(line.total), QString::number(line.itemId), order.memberCard,
                             order.memberName, receipt.moment, order.paymentMode, order.adminName});
                if (!row)
                    return Error{row.error()};
            }

            if (order.paymentMode == PayCash) {
                auto income = db.exec(
                    QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员) "
                                   "values(?,?,?,?,?,?)"),
                    {QStringLiteral("商品销售"), money(total), receipt.moment,
                     order.memberCard.trimmed(), order.memberName.trimmed(), order.adminName});
                if (!income)
                    return Error{income.error()};
            }

            if (order.paymentMode == PayFromCard)
                return CardAccount::payFromCard(db, order.memberCard, total, total);
            return CardAccount::changeIfMember(db, order.memberCard, std::nullopt, total);
        },
        order.bookingKey);
    if (!booked)
        return Error{booked.error()};
    return receipt;
}
