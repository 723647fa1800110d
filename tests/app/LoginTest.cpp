#include "AppTestSupport.h"
#include "admin/core/AdminLogin.h"
#include "app/Startup.h"
#include "app/TLgFm.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// The login window over a de.ini that names the test database: the embedded
// kind for SQLite, the server kind for PostgreSQL.
class LoginTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const QString cs = database->connectionString();
        if (GetParam() == Engine::Sqlite)
            iniPath = writeIni(dir.path(), {{"abc", "a"}, {"csAccess", cs}, {"csSql", "0"}});
        else
            iniPath = writeIni(dir.path(), {{"abc", "s"}, {"csAccess", "0"}, {"csSql", cs}});
    }

    std::unique_ptr<TLgFm> openLogin() {
        login = LoginContext{};
        auto window = std::make_unique<TLgFm>(login, iniPath);
        window->show();
        return window;
    }

    QTemporaryDir dir;
    QString iniPath;
    LoginContext login;
    PromptRecorder prompts;
};
SHOP_ON_BOTH_ENGINES(LoginTest);

TEST_P(LoginTest, UnchangedDefaultAccountIsFilledIn) {
    auto window = openLogin();
    ASSERT_TRUE(window->connected());
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("系统登录"));
    EXPECT_EQ(window->titleLabel()->text(), QStringLiteral("测试音像店"));
    EXPECT_EQ(window->adminBox()->currentText(), QStringLiteral("超级管理员"));
    EXPECT_EQ(window->passwordBox()->text(), QStringLiteral("7302"));
    EXPECT_EQ(window->passwordBox()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(window->defaultPasswordLabel()->isVisible());
    EXPECT_EQ(window->defaultPasswordLabel()->text(), QStringLiteral("默认密码: 7302"));
    EXPECT_EQ(login.config.softName, QStringLiteral("测试音像店"));
}

TEST_P(LoginTest, ChangedDefaultPasswordLeavesFirstNameAndEmptyPassword) {
    execOk(QStringLiteral("update 管理员 set pwd = ? where \"AdminName\" = ?"),
           {QStringLiteral("新密码"), QStringLiteral("超级管理员")});
    execOk(QStringLiteral("insert into 管理员(\"AdminName\", pwd) values(?, ?)"),
           {QStringLiteral("店员"), QStringLiteral("1")});
    auto window = openLogin();
    EXPECT_EQ(window->adminBox()->currentText(), QStringLiteral("超级管理员"));
    EXPECT_EQ(window->passwordBox()->text(), QString());
    EXPECT_FALSE(window->defaultPasswordLabel()->isVisible());
    ASSERT_EQ(window->adminBox()->count(), 2);
    EXPECT_EQ(window->adminBox()->itemText(0), QStringLiteral("超级管理员"));
    EXPECT_EQ(window->adminBox()->itemText(1), QStringLiteral("店员"));

    // the old default password no longer logs in
    QTest::mouseClick(window->loginButton(), Qt::LeftButton);
    window->passwordBox()->setText(QStringLiteral("7302"));
    QTest::mouseClick(window->loginButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList({"密码不正确!", "密码不正确!"}));
    EXPECT_TRUE(window->isVisible());
}

TEST_P(LoginTest, EmptyAdministratorTableRefusesEveryLogin) {
    execOk(QStringLiteral("delete from 管理员"));
    auto window = openLogin();
    EXPECT_EQ(window->adminBox()->count(), 0);
    EXPECT_EQ(window->adminBox()->currentText(), QString());
    EXPECT_FALSE(window->defaultPasswordLabel()->isVisible());
    QTest::mouseClick(window->loginButton(), Qt::LeftButton);
    window->adminBox()->lineEdit()->insert(QStringLiteral("超级管理员"));
    QTest::keyClicks(window->passwordBox(), QStringLiteral("7302"));
    QTest::mouseClick(window->loginButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList({"密码不正确!", "密码不正确!"}));
    EXPECT_NE(window->result(), QDialog::Accepted);
    EXPECT_TRUE(login.adminName.isEmpty());
}

TEST_P(LoginTest, WrongPasswordIsSelectedForRetyping) {
    auto window = openLogin();
    window->passwordBox()->clear();
    QTest::keyClicks(window->passwordBox(), QStringLiteral("7303"));
    QTest::keyClick(window->passwordBox(), Qt::Key_Return);
    EXPECT_EQ(prompts.texts(), QStringList{"密码不正确!"});
    EXPECT_EQ(window->passwordBox()->selectedText(), QStringLiteral("7303"));
    EXPECT_EQ(window->focusWidget(), window->passwordBox());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(login.adminName.isEmpty());
    EXPECT_FALSE(login.may(Permission::AdminRights));

    // a name that is not in the table gets the same answer
    window->adminBox()->setEditText(QStringLiteral("超级管理员 "));
    window->passwordBox()->setText(QStringLiteral("7302"));
    QTest::mouseClick(window->loginButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.lastText(), QStringLiteral("密码不正确!"));
    EXPECT_NE(window->result(), QDialog::Accepted);
}

TEST_P(LoginTest, TypedNameLogsInWithItsPermissionsInOrder) {
    // every third permission granted, the last one NULL
    QStringList columns{QStringLiteral("\"AdminName\""), QStringLiteral("pwd")};
    QStringList marks{QStringLiteral("?"), QStringLiteral("?")};
    QVariantList values{QStringLiteral("店员"), QStringLiteral("abc")};
    const QStringList permissions = permissionColumns();
    for (int i = 0; i < PermissionCount; ++i) {
        columns << Db::quoted(permissions.at(i));
        marks << QStringLiteral("?");
        values << (i == PermissionCount - 1 ? QVariant() : QVariant(i % 3 == 0));
    }
    execOk(QStringLiteral("insert into 管理员(%1) values(%2)")
               .arg(columns.join(u','), marks.join(u',')),
           values);

    auto window = openLogin();
    window->adminBox()->lineEdit()->clear();
    window->adminBox()->lineEdit()->insert(QStringLiteral("店员"));
    window->passwordBox()->clear();
    QTest::keyClicks(window->passwordBox(), QStringLiteral("abc"));
    QTest::keyClick(window->passwordBox(), Qt::Key_Return);

    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->passwordBox()->text().isEmpty()) << "the typed password stays behind";
    EXPECT_EQ(login.adminName, QStringLiteral("店员"));
    // the clear password of the old row was hashed when the database opened
    EXPECT_EQ(count(QStringLiteral("管理员"), QStringLiteral("pwd = ?"), {QStringLiteral("abc")}),
              0);
    for (int i = 0; i < PermissionCount; ++i) {
        const bool expected = i % 3 == 0 && i != PermissionCount - 1;
        EXPECT_EQ(login.may(static_cast<Permission>(i)), expected)
            << permissions.at(i).toStdString();
    }
}

TEST_P(LoginTest, ExitButtonEndsTheLogin) {
    auto window = openLogin();
    QTest::mouseClick(window->exitButton(), Qt::LeftButton);
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(login.adminName.isEmpty());
}

TEST(Startup, MissingEmbeddedFileIsCreatedWithItsFirstRows) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("新店/../data.db"));
    const QString iniPath =
        writeIni(dir.path(), {{"abc", "a"},
                              {"csAccess", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file +
                                               ";Persist Security Info=False"}});
    PromptRecorder prompts;
    LoginContext login;
    {
        TLgFm window(login, iniPath);
        ASSERT_TRUE(window.connected());
        EXPECT_TRUE(prompts.texts().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("data.db"))));
        auto names = AdminLogin::names(Db());
        ASSERT_TRUE(names.ok()) << names.error().toStdString();
        EXPECT_EQ(names.value(), QStringList{"超级管理员"});
    }
    Connection::close();
}

TEST(Startup, TheRunClosesTheSharedConnectionWhenItEnds) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("data.db"));
    writeIni(dir.path(),
             {{"abc", "a"}, {"csAccess", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file}});
    qputenv("SHOP_CONFIG_DIR", QFile::encodeName(dir.path()));
    PromptRecorder prompts;
    // the login window is left with 退出 as soon as the run shows it
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* login = qobject_cast<TLgFm*>(window); login && login->isVisible())
                QTest::mouseClick(login->exitButton(), Qt::LeftButton);
    });
    Startup::run(*qApp);
    qunsetenv("SHOP_CONFIG_DIR");
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join(u'|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_FALSE(QSqlDatabase::contains(Connection::Shared));
    // the last connection to the file is gone: SQLite folded its log back
    EXPECT_FALSE(QFileInfo::exists(file + QStringLiteral("-wal")));
}

TEST(Startup, FailedConnectionOffersTheSettingsWindow) {
    QTemporaryDir dir; // no de.ini: kind "a" with the connection string "0"
    PromptRecorder prompts;
    QStringList windows;
    WindowRunner scope([&](QDialog* dialog) {
        windows << dialog->windowTitle();
        for (auto* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("退出")) {
                QTest::mouseClick(button, Qt::LeftButton);
                break;
            }
        }
    });
    LoginContext login;
    TLgFm window(login, dir.filePath(QStringLiteral("de.ini")));
    EXPECT_FALSE(window.connected());
    EXPECT_EQ(windows, QStringList{"数据库设置"});
    // the system's words, then the driver's reason on the next line
    ASSERT_EQ(prompts.texts().size(), 2);
    EXPECT_EQ(prompts.texts()[0],
              QStringLiteral("数据库连接失败,选择数据库.\n无法识别的连接字符串: 0"));
    EXPECT_EQ(prompts.texts()[1], QStringLiteral("软件重启后生效!"));
    EXPECT_EQ(login.config.kind, QStringLiteral("a"));
    EXPECT_EQ(login.config.connectionString, QStringLiteral("0"));
}
