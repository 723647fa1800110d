#include "rental/core/RentBooking.h"

#include "store/Clock.h"
#include "store/OrderNumbers.h"

#include <algorithm>

Result<RentReceipt> bookRent(const Db& db, const RentOrder& order) {
    if (order.lines.isEmpty())
        return Error{QStringLiteral("没有要出租的商品")};
    RentReceipt receipt;
    receipt.rentedAt = Clock::now();
    receipt.lineCount = int(order.lines.size());
    Status done = db.inTransaction(
        [&]() -> Status {
            auto number = OrderNumbers::take(db, OrderNumbers::Kind::Rent);
            if (!number)
                return Error{number.error()};
            receipt.orderNumber = number.value();
            // Copies are taken in the order of their barcodes, so two bookings
            // over the same copies wait for each other instead of deadlocking.
            QList<const RentLine*> byBarcode;
            for (const RentLine& line : order.lines)
                byBarcode << &line;
            std::sort(byBarcode.begin(), byBarcode.end(),
                      [](const RentLine* a, const RentLine* b) { return a->barcode < b->barcode; });
            for (const RentLine* line : byBarcode) {
                // Only a copy still available is rented: another workstation may
                // have rented or withdrawn it since it was scanned.
                auto changed =
                    db.exec(QStringLiteral(
                                "update 出租库 set 状态 = ?, 借出次数 = COALESCE(借出次数, 0) + 1 "
                                "where 条形码 = ? and 状态 = '待租'"),
                            {order.card, line->barcode});
                if (!changed)
                    return Error{changed.error()};
                if (changed.value() == 0)
                    return Error{
                        QStringLiteral("条形码为 %1 的商品已不是待租状态(已被租出、停租或删除),"
                                       "本单没有出租任何商品.")
                            .arg(line->barcode)};
            }
            for (const RentLine& line : order.lines) {
                const Money deposit = RentPricing::lineDeposit(order.depositMode, line.deposit);
                auto inserted = db.insert(
                    QStringLiteral("insert into 出租记录(出租单号,条形码,商品名称,py,押金,每日租金,"
                                   "会员卡号,会员姓名,出租日期,已还,出租经手人) "
                                   "values(?,?,?,?,?,?,?,?,?,'否',?)"),
                    {QString::number(receipt.orderNumber), line.barcode, line.name, line.py,
                     QVariant::fromValue(deposit), QVariant::fromValue(line.dailyRent), order.card,
                     order.memberName, receipt.rentedAt, order.adminName});
                if (!inserted)
                    return Error{inserted.error()};
            }
            return {};
        },
        order.bookingKey);
    if (!done)
        return Error{done.error()};
    return receipt;
}
