#include "store/AdminLog.h"

#include "store/Clock.h"
#include "store/InBooking.h"

namespace AdminLog {

Status write(const Db& db, const QString& event, const QString& admin, const QString& barcode) {
    if (Status inside = insideBooking(db, QStringLiteral("写管理员日志")); !inside)
        return inside;
    auto done = db.exec(QStringLiteral("insert into 管理员日志(事件,日期,管理员,说明) "
                                       "values(?,?,?,?)"),
                        {event, Clock::now(), admin, QString(QStringLiteral("条形码:") + barcode)});
    if (!done)
        return Error{done.error()};
    return {};
}

} // namespace AdminLog
