#include "admin/core/AdminLogBook.h"

namespace AdminLogBook {

ListQuery listQuery(const QString& connectionName) {
    return {QStringLiteral("select * from \"管理员日志\""), {}, connectionName};
}

Status deleteEntry(const Db& db, qint64 id) {
    auto deleted = db.exec(QStringLiteral("delete from \"管理员日志\" where id = ?"), {id});
    if (!deleted)
        return Error{deleted.error()};
    return {};
}

Status deleteAll(const Db& db) {
    auto deleted = db.exec(QStringLiteral("delete from \"管理员日志\""));
    if (!deleted)
        return Error{deleted.error()};
    return {};
}

} // namespace AdminLogBook
