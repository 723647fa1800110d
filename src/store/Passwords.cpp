#include "store/Passwords.h"

#include <sodium.h>

namespace Passwords {

namespace {

bool ready() {
    static const bool initialised = sodium_init() >= 0;
    return initialised;
}

const QLatin1String Prefix("$argon2id$");

} // namespace

Result<QString> hash(const QString& password) {
    if (!ready())
        return Error{QStringLiteral("密码加密组件不能初始化")};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(
            out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return Error{QStringLiteral("内存不足, 不能加密密码")};
    return QString::fromLatin1(out);
}

bool isHash(const QString& stored) {
    return stored.startsWith(Prefix) && stored.size() < crypto_pwhash_STRBYTES;
}

bool verify(const QString& stored, const QString& password) {
    if (!ready() || !isHash(stored))
        return false;
    const QByteArray text = stored.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(text.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

Result<int> upgradeClearText(const Db& db) {
    // Most openings find nothing to do: look first, without taking a write lock.
    auto stored = db.select(QStringLiteral("select pwd from \"管理员\" where pwd is not null"));
    if (!stored)
        return Error{stored.error()};
    bool anyClear = false;
    while (!anyClear && stored.value().next())
        anyClear = !isHash(stored.value().text(QStringLiteral("pwd")));
    stored.value().query().finish();
    if (!anyClear)
        return 0;
    int upgraded = 0;
    const Status done = db.inTransaction([&]() -> Status {
        upgraded = 0;
        auto rows = db.select(QStringLiteral("select \"AdminName\", pwd from \"管理员\" where "
                                             "pwd is not null"));
        if (!rows)
            return Error{rows.error()};
        QList<std::pair<QString, QString>> clear;
        while (rows.value().next()) {
            const QString stored = rows.value().text(QStringLiteral("pwd"));
            if (!isHash(stored))
                clear.append({rows.value().text(QStringLiteral("AdminName")), stored});
        }
        rows.value().query().finish();
        // AdminName is the key; the old value guards against a change made
        // meanwhile
        for (const auto& [name, password] : clear) {
            auto hashed = hash(password);
            if (!hashed)
                return Error{hashed.error()};
            auto updated = db.exec(QStringLiteral("update \"管理员\" set pwd = ? where "
                                                  "\"AdminName\" = ? and pwd = ?"),
                                   {hashed.value(), name, password});
            if (!updated)
                return Error{updated.error()};
            upgraded += int(updated.value());
        }
        return {};
    });
    if (!done)
        return Error{done.error()};
    return upgraded;
}

bool equalConstantTime(const QString& a, const QString& b) {
    const QByteArray left = a.toUtf8();
    const QByteArray right = b.toUtf8();
    if (left.size() != right.size())
        return false;
    if (left.isEmpty())
        return true;
    return sodium_memcmp(left.constData(), right.constData(), size_t(left.size())) == 0;
}

} // namespace Passwords
