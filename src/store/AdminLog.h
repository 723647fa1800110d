#pragma once

#include "store/Db.h"

#include <QString>

// The administrator log (管理员日志): one row per copy between the
// catalogues, stock correction and member balance correction. Written
// inside the booking's transaction, so the row stands or falls with it.
namespace AdminLog {

// 事件 event, 日期 now, 管理员 admin, 说明 "条形码:" + barcode.
Status write(const Db& db, const QString& event, const QString& admin, const QString& barcode);

} // namespace AdminLog
