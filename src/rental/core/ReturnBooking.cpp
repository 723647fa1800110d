#include "rental/core/ReturnBooking.h"

#include "customers/CardAccount.h"
#include "store/Clock.h"

#include <algorithm>

Result<ReturnReceipt> bookReturn(const Db& db, const ReturnOrder& order) {
    if (order.lines.isEmpty())
        return Error{QStringLiteral("没有要归还的商品")};
    ReturnReceipt receipt;
    receipt.returnedAt = Clock::now();
    receipt.lineCount = int(order.lines.size());
    const QString payment = paymentText(order.payment);
    Status done = db.inTransaction(
        [&]() -> Status {
            receipt.rentTotal = Money(); // the work may run again after a deadlock
            // Rent records and copies are taken in the order of the records'
            // keys, so two bookings over the same rows wait instead of deadlocking.
            QList<const ReturnLine*> byRecord;
            for (const ReturnLine& line : order.lines)
                byRecord << &line;
            std::sort(
                byRecord.begin(), byRecord.end(),
                [](const ReturnLine* a, const ReturnLine* b) { return a->rentId < b->rentId; });
            for (const ReturnLine* line : byRecord) {
                auto closed = db.exec(
                    QStringLiteral("update 出租记录 set 已还 = '是', 归还日期 = ?, 天数 = ?, "
                                   "实收租金 = ?, 归还经手人 = ?, 支付方式 = ?, 归还说明 = ? "
                                   "where id = ? and 已还 = '否'"),
                    {receipt.returnedAt, line->days, QVariant::fromValue(line->rent),
                     order.adminName, payment, order.remark.trimmed(), line->rentId});
                if (!closed)
                    return Error{closed.error()};
                if (closed.value() == 0)
                    return Error{
                        QStringLiteral("条形码为 %1 的商品已经归还过了(出租记录已不是未还),"
                                       "本次没有归还任何商品.")
                            .arg(line->barcode)};
                auto freed =
                    db.exec(QStringLiteral("update 出租库 set 状态 = '待租' where 条形码 = ?"),
                            {line->barcode});
                if (!freed)
                    return Error{freed.error()};
            }
            for (const ReturnLine& line : order.lines) {
                if (order.payment == Payment::Card) {
                    if (Status paid = CardAccount::payFromCard(db, line.card, line.rent); !paid)
                        return paid;
                } else {
                    auto income = db.insert(
                        QStringLiteral(
                            "insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员,说明) "
                            "values('租金',?,?,?,?,?,?)"),
                        {QVariant::fromValue(line.rent), receipt.returnedAt, line.card,
                         line.memberName, order.adminName, order.remark});
                    if (!income)
                        return Error{income.error()};
                }
                receipt.rentTotal += line.rent;
            }
            return {};
        },
        order.bookingKey);
    if (!done)
        return Error{done.error()};
    return receipt;
}
