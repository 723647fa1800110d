#pragma once

#include "store/Db.h"
#include "store/Result.h"

// A part of a booking (a balance change, a log row, an order number) that
// is only sound inside the booking's transaction refuses to run outside
// one: on its own it could leave half a booking behind.
inline Status insideBooking(const Db& db, const QString& what) {
    if (db.inTransactionNow())
        return {};
    return Error{
        QStringLiteral("程序错误: %1 只能在一次业务的事务中进行, 没有写入任何数据.").arg(what)};
}
