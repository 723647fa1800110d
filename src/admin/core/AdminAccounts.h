#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QString>

// The administrators of table 管理员: their names, initial password and
// password changes. Passwords are stored as hashes only.
namespace AdminAccounts {

// The built-in administrator, which can be neither renamed nor deleted.
inline const QString SuperAdmin = QStringLiteral("超级管理员");
// Every new administrator's first password.
inline const QString InitialPassword = QStringLiteral("7302");

bool isProtected(const QString& adminName);

// The stored form of the initial password (a fresh salted hash).
Result<QString> initialPasswordHash();

// Whether another administrator than the one now named exceptName already
// has name (exact comparison).
Result<bool> nameTaken(const Db& db, const QString& name, const QString& exceptName = {});

// The administrators' window keeps someone who can still manage
// administrators: "超级管理员" is never renamed or deleted, the one logged
// in cannot delete himself, and the last administrator holding
// 管理员权限设置 can neither lose it nor be deleted. Each gives the
// refusal text, or an empty text when the change may go ahead.
Result<QString> refuseSaving(const Db& db, const QString& nameBefore, const QString& nameAfter,
                             bool managesAdministrators);
Result<QString> refuseDeleting(const Db& db, const QString& adminName, const QString& loggedInName);

enum class PasswordChange { Changed, Mismatch, WrongOld };

// The logged-in administrator changes his own password: refused when the
// new password and its confirmation differ (case-sensitive) or the old
// password does not match; an empty new password is accepted.
Result<PasswordChange> changePassword(const Db& db, const QString& adminName,
                                      const QString& oldPassword, const QString& newPassword,
                                      const QString& confirmation);

} // namespace AdminAccounts
