#include "AppTestSupport.h"
#include "app/Startup.h"
#include "app/TLgFm.h"
#include "members/THyKuFm.h"
#include "shop-admin/core/AdminCommand.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "store/ShopDatabase.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "ui/DataGrid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

class SecretsTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(SecretsTest);

TEST_P(SecretsTest, TheMemberListIsNeverSearchedByItsPasswordColumn) {
    execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,密码) values(?,?,?)"),
           {QStringLiteral("9001"), QStringLiteral("李四"), QStringLiteral("4711")});
    PromptRecorder prompts;
    LoginContext login;
    THyKuFm list(login);
    const ListQuery before = list.currentQuery();
    list.fieldChooser()->setEditText(QStringLiteral(" 密码 "));
    list.searchBox()->setText(QStringLiteral("47"));
    EXPECT_FALSE(list.search());
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("密码字段不能查找: 密码")});
    EXPECT_EQ(list.currentQuery().sql, before.sql);
    // a described column still searches
    prompts.clear();
    list.fieldChooser()->setEditText(QStringLiteral("会员姓名"));
    list.searchBox()->setText(QStringLiteral("李"));
    EXPECT_TRUE(list.search());
    EXPECT_EQ(list.grid()->footerCount(), 1);
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_P(SecretsTest, TheLoginWindowNamesTheLinesOfDeIniItCouldNotReadOnce) {
    QTemporaryDir dir;
    const QString path = writeIni(dir.path(), {{"abc", GetParam() == Engine::Sqlite ? "a" : "s"},
                                               {"csAccess", database->connectionString()},
                                               {"csSql", database->connectionString()}});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const int line = int(file.readAll().count('\n')) + 1;
    file.write("; \xe5\xa4\x87\xe6\xb3\xa8 \xb1\xb8\n");
    file.close();
    PromptRecorder prompts;
    LoginContext login;
    TLgFm window(login, path);
    ASSERT_TRUE(window.connected());
    EXPECT_EQ(login.config.softName, QStringLiteral("测试音像店")); // still read as UTF-8
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("de.ini 第 %1 行含有不是 UTF-8 的字节, "
                                         "这些行按原样保留, 其中的文字可能显示不正确.")
                              .arg(line)});
}

// A workstation whose role may only read and write rows: never upgrades,
// names the command the owner runs, and works once the owner has run it.
TEST(LeastPrivilegeRole, AnOlderSchemaIsRefusedUntilTheOwnerUpgradesIt) {
    SHOP_REQUIRE_ENGINE(Engine::Postgres);
    TestDatabase shop(Engine::Postgres);
    ASSERT_TRUE(shop.create(false).ok());
    const Db owner;
    ASSERT_TRUE(Schema::createUpTo(owner, Schema::CurrentVersion - 1).ok());
    const QString role = QStringLiteral("shop_clerk_%1").arg(QCoreApplication::applicationPid());
    for (const QString& sql :
         {QStringLiteral("DROP ROLE IF EXISTS %1"),
          QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'clerk'"),
          QStringLiteral("GRANT USAGE ON SCHEMA public TO %1"),
          QStringLiteral(
              "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %1"),
          QStringLiteral("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO %1")})
        ASSERT_TRUE(owner.exec(sql.arg(role)).ok()) << sql.toStdString();

    auto parsed = ConnectionSpec::parse(shop.connectionString(), {});
    ASSERT_TRUE(parsed.ok());
    ConnectionSpec clerk = parsed.value();
    clerk.user = role;
    clerk.password = QStringLiteral("clerk");
    const QString counter = QStringLiteral("counter");
    ASSERT_TRUE(Connection::open(clerk, counter).ok());
    auto mayChange = Db(counter).mayChangeSchema();
    ASSERT_TRUE(mayChange.ok()) << mayChange.error().toStdString();
    EXPECT_FALSE(mayChange.value());
    const Status refused = ShopDatabase::mayOpen(counter);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(),
              QStringLiteral("数据库版本 %1 比本程序 (版本 %2) 旧, 数据库用户 %3 无权升级. "
                             "请由数据库的所有者运行 shop-admin upgrade 升级后再启动软件.")
                  .arg(Schema::CurrentVersion - 1)
                  .arg(Schema::CurrentVersion)
                  .arg(role));
    EXPECT_EQ(Schema::version(owner).value(), Schema::CurrentVersion - 1);

    // the owner upgrades; then the workstation starts and books
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    EXPECT_EQ(AdminCommand::run({QStringLiteral("upgrade"), shop.connectionString()}, out, err), 0)
        << errText.toStdString();
    out.flush();
    EXPECT_EQ(outText, QStringLiteral("数据库已从版本 %1 升级到版本 %2\n")
                           .arg(Schema::CurrentVersion - 1)
                           .arg(Schema::CurrentVersion));
    // tables a step made are granted by the owner as the deployment notes say
    ASSERT_TRUE(owner
                    .exec(QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN "
                                         "SCHEMA public TO %1")
                              .arg(role))
                    .ok());
    EXPECT_TRUE(ShopDatabase::mayOpen(counter).ok());
    EXPECT_TRUE(Schema::openOrCreate(Db(counter)).ok());
    EXPECT_TRUE(
        Db(counter)
            .exec(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("碟")})
            .ok());
    Connection::close(counter);
    (void)owner.exec(QStringLiteral("DROP OWNED BY %1").arg(role));
    (void)owner.exec(QStringLiteral("DROP ROLE %1").arg(role));
}
