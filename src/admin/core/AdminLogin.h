#pragma once

#include "store/Db.h"
#include "store/Permissions.h"
#include "store/Result.h"

#include <QString>
#include <QStringList>
#include <optional>

// What the login window asks of the table 管理员.
namespace AdminLogin {

// The built-in account as delivered; while its password is unchanged the
// login window fills it in.
inline const QString DefaultName = QStringLiteral("超级管理员");
inline const QString DefaultPassword = QStringLiteral("7302");

// Every AdminName, in the order the database returns them.
Result<QStringList> names(const Db& db);

// Whether the built-in account still has its delivered password.
Result<bool> defaultAccountUnchanged(const Db& db);

// The permissions of the administrator with exactly this name (as typed,
// compared by the database) whose stored hash matches the password;
// nullopt when no row matches. A permission column holding NULL reads as no.
Result<std::optional<PermissionFlags>> check(const Db& db, const QString& name,
                                             const QString& password);

} // namespace AdminLogin
