#include "admin/core/AdminLogin.h"

#include "store/Passwords.h"

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
    auto rows =
        db.select(QStringLiteral("select * from \"管理员\" where \"AdminName\" = ?"), {name});
    if (!rows)
        return Error{rows.error()};
    while (rows.value().next()) {
        if (!Passwords::verify(rows.value().text(QStringLiteral("pwd")), password))
            continue;
        PermissionFlags flags;
        const QStringList columns = permissionColumns();
        for (int i = 0; i < PermissionCount; ++i)
            flags.set(static_cast<Permission>(i), rows.value().yesNo(columns.at(i)));
        return std::optional<PermissionFlags>{flags};
    }
    return std::optional<PermissionFlags>{};
}

} // namespace AdminLogin
