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
