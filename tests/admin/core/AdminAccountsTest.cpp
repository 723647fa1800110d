#include "admin/core/AdminAccounts.h"
#include "store/Passwords.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

class AdminAccountsTest : public EngineTest {
protected:
    QString storedPwd(const QString& name = AdminAccounts::SuperAdmin) {
        auto rows =
            db.select(QStringLiteral("select pwd from 管理员 where \"AdminName\" = ?"), {name});
        EXPECT_TRUE(rows.ok());
        return rows.ok() && rows.value().next() ? rows.value().text(QStringLiteral("pwd"))
                                                : QString();
    }
};
SHOP_ON_BOTH_ENGINES(AdminAccountsTest);

TEST_P(AdminAccountsTest, RefusedChangesLeaveThePasswordAlone) {
    using C = AdminAccounts::PasswordChange;
    struct Case {
        const char* old;
        const char* fresh;
        const char* confirm;
        C expected;
    };
    const QList<Case> cases = {
        {"7302", "abc", "abd", C::Mismatch},  {"7302", "abc", "ABC", C::Mismatch}, // case-sensitive
        {"7303", "abc", "abc", C::WrongOld},  {"", "abc", "abc", C::WrongOld},
        {"7302 ", "abc", "abc", C::WrongOld}, // not trimmed
    };
    const QString before = storedPwd();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.old + std::string("/") + c.fresh + "/" + c.confirm);
        auto changed =
            AdminAccounts::changePassword(db, AdminAccounts::SuperAdmin, QString::fromUtf8(c.old),
                                          QString::fromUtf8(c.fresh), QString::fromUtf8(c.confirm));
        ASSERT_TRUE(changed.ok()) << changed.error().toStdString();
        EXPECT_EQ(changed.value(), c.expected);
        EXPECT_EQ(storedPwd(), before);
    }
    // another administrator's password is not the logged-in one's
    execOk(QStringLiteral("insert into 管理员(\"AdminName\", pwd) values(?, ?)"),
           {QStringLiteral("店员"), Passwords::hash(QStringLiteral("1")).value()});
    EXPECT_EQ(AdminAccounts::changePassword(db, QStringLiteral("店员"), QStringLiteral("7302"),
                                            QStringLiteral("x"), QStringLiteral("x"))
                  .value(),
              C::WrongOld);
}

TEST_P(AdminAccountsTest, QuotesAndAnEmptyPasswordAreStoredAsHashes) {
    using C = AdminAccounts::PasswordChange;
    const QString quoted = QStringLiteral("it's \"新\" 密码");
    auto changed = AdminAccounts::changePassword(db, AdminAccounts::SuperAdmin,
                                                 QStringLiteral("7302"), quoted, quoted);
    ASSERT_TRUE(changed.ok()) << changed.error().toStdString();
    EXPECT_EQ(changed.value(), C::Changed);
    QString stored = storedPwd();
    EXPECT_TRUE(Passwords::isHash(stored));
    EXPECT_FALSE(stored.contains(QStringLiteral("密码")));
    EXPECT_TRUE(Passwords::verify(stored, quoted));
    EXPECT_FALSE(Passwords::verify(stored, QStringLiteral("7302")));

    // both boxes empty: an empty password is accepted
    changed =
        AdminAccounts::changePassword(db, AdminAccounts::SuperAdmin, quoted, QString(), QString());
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.value(), C::Changed);
    stored = storedPwd();
    EXPECT_TRUE(Passwords::verify(stored, QString()));
    EXPECT_FALSE(Passwords::verify(stored, quoted));
}

TEST_P(AdminAccountsTest, NamesTakenAndTheProtectedAdministrator) {
    EXPECT_TRUE(AdminAccounts::nameTaken(db, QStringLiteral("超级管理员")).value());
    EXPECT_FALSE(AdminAccounts::nameTaken(db, QStringLiteral("超级管理员 ")).value());
    // keeping one's own name is no clash
    EXPECT_FALSE(
        AdminAccounts::nameTaken(db, QStringLiteral("超级管理员"), QStringLiteral("超级管理员"))
            .value());
    EXPECT_TRUE(AdminAccounts::isProtected(QStringLiteral("超级管理员")));
    EXPECT_FALSE(AdminAccounts::isProtected(QStringLiteral("超级管理员2")));
    auto initial = AdminAccounts::initialPasswordHash();
    ASSERT_TRUE(initial.ok());
    EXPECT_TRUE(Passwords::verify(initial.value(), QStringLiteral("7302")));
    // salted: two hashes of one password differ
    EXPECT_NE(initial.value(), AdminAccounts::initialPasswordHash().value());
}
