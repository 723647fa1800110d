#include "AppTestSupport.h"
#include "app/DatabaseChoice.h"
#include "app/TSetDataFm.h"
#include "store/Connection.h"
#include "store/IniFile.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Untouched =
    QStringLiteral("Provider=SQLOLEDB.1;Data Source=old;Initial Catalog=old;");
const QString AccessString = QStringLiteral(
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.db;Persist Security Info=False");

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // every test here reaches the server
        SHOP_REQUIRE_ENGINE(Engine::Postgres);
    }

    std::unique_ptr<TSetDataFm> open(const QString& kind) {
        login.config.kind = kind;
        login.config.iniPath = writeIni(dir.path(), {{"abc", kind},
                                                     {"csAccess", AccessString},
                                                     {"csSql", Untouched},
                                                     {"ServerName", "oldhost"},
                                                     {"DataBaseName", "olddb"},
                                                     {"UserName", "olduser"},
                                                     {"PassWord", "oldpw"}});
        auto window = std::make_unique<TSetDataFm>(login);
        window->show();
        return window;
    }

    void fillServer(TSetDataFm& window, const QString& server, const QString& database) {
        window.serverBox()->setEditText(server);
        window.databaseBox()->setText(database);
        window.userBox()->setText(pgUser());
        window.passwordBox()->clear();
    }

    QString ini(const QString& key) const {
        return IniFile(login.config.iniPath)
            .read(QStringLiteral("part1"), key, QStringLiteral("-"));
    }

    QTemporaryDir dir;
    LoginContext login;
    PromptRecorder prompts;
};

} // namespace

TEST(DatabaseChoice, ServerConnectionStringKeepsTheFieldsAsTyped) {
    const QString text = DatabaseChoice::serverConnectionString(
        " srv:5433", "店 库", "sa", "p;w \"x\" ", "verify-ca", "/etc/ca 1.crt");
    EXPECT_EQ(text, QStringLiteral("Provider=SQLOLEDB.1;Password=\"p;w \"\"x\"\" \";"
                                   "Persist Security Info=True;User ID=sa;Initial Catalog=店 库;"
                                   "Data Source=\" srv:5433\";SSL Mode=verify-ca;"
                                   "SSL Root Cert=/etc/ca 1.crt;"));
    auto parsed = ConnectionSpec::parse(text, QString());
    ASSERT_TRUE(parsed.ok()) << parsed.error().toStdString();
    EXPECT_EQ(parsed.value().password, QStringLiteral("p;w \"x\" "));
    EXPECT_EQ(parsed.value().host, QStringLiteral(" srv"));
    EXPECT_EQ(parsed.value().port, 5433);
    EXPECT_EQ(parsed.value().sslMode, QStringLiteral("verify-ca"));
    EXPECT_EQ(parsed.value().sslRootCert, QStringLiteral("/etc/ca 1.crt"));
    EXPECT_EQ(ConnectionSpec::masked(text).count(u'x'), 0);
}

TEST_F(SettingsTest, ServerKindNeedsANewSuccessfulTestBeforeSaving) {
    auto window = open(QStringLiteral("s"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("数据库设置"));
    EXPECT_TRUE(window->serverRadio()->isChecked());
    EXPECT_FALSE(window->accessRadio()->isChecked());
    EXPECT_TRUE(window->serverGroup()->isEnabled());
    EXPECT_TRUE(window->serverGroup()->isVisible());
    EXPECT_FALSE(window->saveButton()->isEnabled());
    EXPECT_EQ(window->serverBox()->currentText(), QStringLiteral("oldhost"));
    EXPECT_EQ(window->databaseBox()->text(), QStringLiteral("olddb"));
    EXPECT_EQ(window->userBox()->text(), QStringLiteral("olduser"));
    EXPECT_EQ(window->passwordBox()->text(), QStringLiteral("oldpw"));
    EXPECT_EQ(window->passwordBox()->echoMode(), QLineEdit::Password);
    QStringList known;
    for (int i = 0; i < window->serverBox()->count(); ++i)
        known << window->serverBox()->itemText(i);
    EXPECT_EQ(known, QStringList({"oldhost", "localhost"}));

    // a failed test leaves saving disabled
    fillServer(*window, QStringLiteral("/no/such/folder"), QStringLiteral("postgres"));
    QTest::mouseClick(window->testButton(), Qt::LeftButton);
    const QString failed = DatabaseChoice::serverConnectionString(
        QStringLiteral("/no/such/folder"), QStringLiteral("postgres"), pgUser(), QString());
    // the test's message never shows the password
    EXPECT_EQ(prompts.texts(), QStringList({ConnectionSpec::masked(failed), "连接失败"}));
    EXPECT_FALSE(window->saveButton()->isEnabled());

    prompts.clear();
    fillServer(*window, pgServer(), QStringLiteral("postgres"));
    QTest::mouseClick(window->testButton(), Qt::LeftButton);
    const QString tested = DatabaseChoice::serverConnectionString(
        pgServer(), QStringLiteral("postgres"), pgUser(), QString());
    EXPECT_EQ(prompts.texts(), QStringList({ConnectionSpec::masked(tested), "连接成功!"}));
    ASSERT_TRUE(window->saveButton()->isEnabled());

    // fields changed after the test: csSql keeps the tested string
    prompts.clear();
    window->serverBox()->setEditText(QStringLiteral("  newhost "));
    window->databaseBox()->setText(QStringLiteral(" 新库 "));
    window->userBox()->setText(QStringLiteral("kasse "));
    window->passwordBox()->setText(QStringLiteral(" geheim"));
    QTest::mouseClick(window->saveButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{"软件重启后生效!"});
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(ini("abc"), QStringLiteral("s"));
    EXPECT_EQ(ini("csSql"), tested);
    EXPECT_EQ(ini("ServerName"), QStringLiteral("newhost"));
    EXPECT_EQ(ini("DataBaseName"), QStringLiteral("新库"));
    EXPECT_EQ(ini("UserName"), QStringLiteral("kasse"));
    EXPECT_EQ(ini("PassWord"), QStringLiteral("geheim"));
    EXPECT_EQ(ini("csAccess"), AccessString);
}

TEST_F(SettingsTest, TheTlsChoiceIsTestedSavedAndShownAgain) {
    auto window = open(QStringLiteral("s"));
    EXPECT_EQ(window->sslModeBox()->currentText(), QStringLiteral("默认 (prefer)"));
    fillServer(*window, pgServer(), QStringLiteral("postgres"));
    window->sslModeBox()->setCurrentText(QStringLiteral("disable"));
    window->sslRootCertBox()->setText(QStringLiteral("/etc/shop ca.crt"));
    QTest::mouseClick(window->testButton(), Qt::LeftButton);
    ASSERT_TRUE(window->saveButton()->isEnabled()) << prompts.texts().join(u'|').toStdString();
    QTest::mouseClick(window->saveButton(), Qt::LeftButton);
    EXPECT_TRUE(
        ini("csSql").endsWith(QStringLiteral("SSL Mode=disable;SSL Root Cert=/etc/shop ca.crt;")))
        << ini("csSql").toStdString();
    EXPECT_EQ(ini("SslMode"), QStringLiteral("disable"));
    EXPECT_EQ(ini("SslRootCert"), QStringLiteral("/etc/shop ca.crt"));
    // de.ini holds a password: its owner alone reads it
    EXPECT_EQ(QFile::permissions(login.config.iniPath),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);

    auto again = std::make_unique<TSetDataFm>(login);
    again->show();
    EXPECT_EQ(again->sslModeBox()->currentText(), QStringLiteral("disable"));
    EXPECT_EQ(again->sslRootCertBox()->text(), QStringLiteral("/etc/shop ca.crt"));
}

TEST_F(SettingsTest, AFailedTestAfterASuccessfulOneKeepsTheTestedString) {
    auto window = open(QStringLiteral("s"));
    fillServer(*window, pgServer(), QStringLiteral("postgres"));
    QTest::mouseClick(window->testButton(), Qt::LeftButton);
    const QString tested = DatabaseChoice::serverConnectionString(
        pgServer(), QStringLiteral("postgres"), pgUser(), QString());
    fillServer(*window, pgServer(), QStringLiteral("no_such_database"));
    QTest::mouseClick(window->testButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts().mid(2).value(1), QStringLiteral("连接失败"));
    EXPECT_TRUE(window->saveButton()->isEnabled());
    QTest::mouseClick(window->saveButton(), Qt::LeftButton);
    EXPECT_EQ(ini("csSql"), tested);
    EXPECT_EQ(ini("DataBaseName"), QStringLiteral("no_such_database"));
}

TEST_F(SettingsTest, AccessChoiceSavesKindAndFieldsOnly) {
    auto window = open(QStringLiteral("a"));
    EXPECT_TRUE(window->accessRadio()->isChecked());
    EXPECT_FALSE(window->serverGroup()->isEnabled());
    EXPECT_FALSE(window->serverGroup()->isVisible());
    EXPECT_TRUE(window->saveButton()->isEnabled());
    const int smallHeight = window->height();

    // the server choice shows the group and asks for a test
    QTest::mouseClick(window->serverRadio(), Qt::LeftButton);
    EXPECT_TRUE(window->serverGroup()->isVisible());
    EXPECT_FALSE(window->saveButton()->isEnabled());
    EXPECT_GT(window->height(), smallHeight);
    QTest::mouseClick(window->accessRadio(), Qt::LeftButton);
    EXPECT_TRUE(window->saveButton()->isEnabled());

    window->databaseBox()->setText(QStringLiteral(" 其它 "));
    QTest::mouseClick(window->saveButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{"软件重启后生效!"});
    EXPECT_EQ(ini("abc"), QStringLiteral("a"));
    EXPECT_EQ(ini("DataBaseName"), QStringLiteral("其它"));
    EXPECT_EQ(ini("ServerName"), QStringLiteral("oldhost"));
    EXPECT_EQ(ini("csSql"), Untouched);
    EXPECT_EQ(ini("csAccess"), AccessString);
}

TEST_F(SettingsTest, ExitWritesNothingAndSaysWhenChangesApply) {
    auto window = open(QStringLiteral("a"));
    window->databaseBox()->setText(QStringLiteral("其它"));
    QTest::mouseClick(window->exitButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{"软件重启后生效!"});
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(ini("DataBaseName"), QStringLiteral("olddb"));
}

TEST_F(SettingsTest, UnknownKindSelectsNothing) {
    auto window = open(QStringLiteral("S"));
    EXPECT_FALSE(window->accessRadio()->isChecked());
    EXPECT_FALSE(window->serverRadio()->isChecked());
    EXPECT_FALSE(window->serverGroup()->isEnabled());
    EXPECT_FALSE(window->saveButton()->isEnabled());
}
