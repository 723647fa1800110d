#include "admin/core/AdminAccounts.h"

#include "store/Passwords.h"

namespace AdminAccounts {

bool isProtected(const QString& adminName) {
    return adminName == SuperAdmin;
}

Result<QString> initialPasswordHash() {
    return Passwords::hash(InitialPassword);
}

Result<bool> nameTaken(const Db& db, const QString& name, const QString& exceptName) {
    if (!exceptName.isNull() && name == exceptName)
        return false;
    auto found = db.scalarInteger(
        QStringLiteral("select count(*) from \"管理员\" where \"AdminName\" = ?"), {name});
    if (!found)
        return Error{found.error()};
    return found.value().value_or(0) > 0;
}

namespace {

const QString ManagePermission = QStringLiteral("管理员权限设置");

// The refusal when nobody but adminName holds 管理员权限设置, else empty.
Result<QString> refusedAsLastManager(const Db& db, const QString& adminName) {
    auto others = db.scalarInteger(
        QStringLiteral("select count(*) from \"管理员\" where \"管理员权限设置\" = ? and "
                       "\"AdminName\" <> ?"),
        {true, adminName});
    if (!others)
        return Error{others.error()};
    if (others.value().value_or(0) > 0)
        return QString();
    return QStringLiteral("至少要有一个管理员拥有\"%1\"权限!").arg(ManagePermission);
}

} // namespace

Result<QString> refuseSaving(const Db& db, const QString& nameBefore, const QString& nameAfter,
                             bool managesAdministrators) {
    if (nameBefore.isNull())
        return QString(); // a new administrator takes nothing away
    if (isProtected(nameBefore) && nameAfter != nameBefore)
        return QStringLiteral("超级管理员不能改名!");
    if (managesAdministrators)
        return QString();
    return refusedAsLastManager(db, nameBefore);
}

Result<QString> refuseDeleting(const Db& db, const QString& adminName,
                               const QString& loggedInName) {
    if (isProtected(adminName))
        return QStringLiteral("超级管理员不能删除!");
    if (adminName == loggedInName)
        return QStringLiteral("不能删除当前登录的管理员!");
    return refusedAsLastManager(db, adminName);
}

Result<PasswordChange> changePassword(const Db& db, const QString& adminName,
                                      const QString& oldPassword, const QString& newPassword,
                                      const QString& confirmation) {
    if (newPassword != confirmation)
        return PasswordChange::Mismatch;
    auto rows = db.select(QStringLiteral("select pwd from \"管理员\" where \"AdminName\" = ?"),
                          {adminName});
    if (!rows)
        return Error{rows.error()};
    QString stored;
    bool matched = false;
    while (!matched && rows.value().next()) {
        stored = rows.value().text(QStringLiteral("pwd"));
        matched = Passwords::verify(stored, oldPassword);
    }
    if (!matched)
        return PasswordChange::WrongOld;
    auto hashed = Passwords::hash(newPassword);
    if (!hashed)
        return Error{hashed.error()};
    // Only the row whose hash was checked changes; a change made meanwhile
    // from another workstation makes the old password wrong.
    auto updated = db.exec(QStringLiteral("update \"管理员\" set pwd = ? where \"AdminName\" = ? "
                                          "and pwd = ?"),
                           {hashed.value(), adminName, stored});
    if (!updated)
        return Error{updated.error()};
    return updated.value() > 0 ? PasswordChange::Changed : PasswordChange::WrongOld;
}

} // namespace AdminAccounts
