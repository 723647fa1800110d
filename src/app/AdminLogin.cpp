#include "app/AdminLogin.h"

namespace AdminLogin {

Result<QStringList> names(const Db& db) {
    // all columns, so the rows come in table order rather than by a name index
    auto rows = db.select(QStringLiteral("select * from \"管理员\""));
    if (!rows)
        return Error{rows.error()};
    QStringList list;
    while (rows.value().next())
        list << rows.value().text(QStringLiteral("AdminName"));
    return list;
}

Result<bool> defaultAccountUnchanged(const Db& db) {
    auto found = check(db, DefaultName, DefaultPassword);
    if (!found)
        return Error{found.error()};
    return found.value().has_value();
}

Result<std::optional<PermissionFlags>> check(const Db& db, const QString& name,
                                             const QString& password) {
    auto rows = db.select(QStringLiteral("select * from \"管理员\" where \"AdminName\" = ? and "
                                         "\"pwd\" = ?"),
                          {name, password});
    if (!rows)
        return Error{rows.error()};
    if (!rows.value().next())
        return std::optional<PermissionFlags>{};
    PermissionFlags flags;
    const QStringList columns = permissionColumns();
    for (int i = 0; i < PermissionCount; ++i)
        flags.set(static_cast<Permission>(i), rows.value().yesNo(columns.at(i)));
    return std::optional<PermissionFlags>{flags};
}

} // namespace AdminLogin
