#include "store/OrderNumbers.h"

#include "store/InBooking.h"

namespace {

QString column(OrderNumbers::Kind kind) {
    return kind == OrderNumbers::Kind::Rent ? QStringLiteral("出租单号")
                                            : QStringLiteral("销售单号");
}

Result<qint64> firstRow(const Db& db, OrderNumbers::Kind kind) {
    auto value =
        db.scalarInteger(QStringLiteral("select %1 from 系统信息 limit 1").arg(column(kind)));
    if (!value)
        return Error{value.error()};
    return value.value().value_or(0);
}

} // namespace

namespace OrderNumbers {

Result<qint64> peekNext(const Db& db, Kind kind) {
    auto last = firstRow(db, kind);
    if (!last)
        return last;
    return last.value() + 1;
}

Result<qint64> take(const Db& db, Kind kind) {
    if (Status inside = insideBooking(db, QStringLiteral("取单号")); !inside)
        return Error{inside.error()};
    const QString c = column(kind);
    auto changed = db.exec(QStringLiteral("update 系统信息 set %1 = COALESCE(%1, 0) + 1").arg(c));
    if (!changed)
        return Error{changed.error()};
    if (changed.value() == 0)
        return Error{QStringLiteral("系统信息表中没有单号记录")};
    auto number = firstRow(db, kind);
    if (!number)
        return number;
    // Should the table hold several rows, they all carry the first row's number.
    auto aligned =
        db.exec(QStringLiteral("update 系统信息 set %1 = ? where %1 is null or %1 <> ?").arg(c),
                {number.value(), number.value()});
    if (!aligned)
        return Error{aligned.error()};
    // kept with the booking's key, to be told should the commit's answer be lost
    db.noteOrderNumber(QString::number(number.value()));
    return number;
}

} // namespace OrderNumbers
