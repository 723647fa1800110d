#include "admin/TAboutFm.h"
#include "admin/TAdminFm.h"
#include "admin/TAdminLogFm.h"
#include "admin/TChangeAdminPwdFm.h"
#include "admin/TCleanDataFm.h"
#include "admin/TSysInfoSetFM.h"
#include "store/AdminLog.h"
#include "store/IniFile.h"
#include "store/Passwords.h"
#include "store/Schema.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"
#include "tools/core/Backup.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

// The administration windows with real widgets over a fresh database.
class AdminWindowTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        login.adminName = QStringLiteral("超级管理员");
        login.permissions = PermissionFlags::all();
        login.config.iniPath = QDir(database->folder()).filePath(QStringLiteral("de.ini"));
    }
    QString pwdOf(const QString& name) {
        auto rows =
            db.select(QStringLiteral("select pwd from 管理员 where \"AdminName\" = ?"), {name});
        EXPECT_TRUE(rows.ok());
        return rows.ok() && rows.value().next() ? rows.value().text(QStringLiteral("pwd"))
                                                : QString();
    }
    bool yesNo(const QString& name, const QString& column) {
        auto rows = db.select(
            QStringLiteral("select %1 from 管理员 where \"AdminName\" = ?").arg(Db::quoted(column)),
            {name});
        return rows.ok() && rows.value().next() && rows.value().yesNo(column);
    }

    LoginContext login;
    PromptRecorder prompts;
};
SHOP_ON_BOTH_ENGINES(AdminWindowTest);

TEST_P(AdminWindowTest, NewAdministratorStartsWithInitialPasswordAndItsDefaults) {
    TAdminFm window(login);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("管理员权限设置"));

    // 23 boxes, three a line, in their order
    auto* panel = window.findChild<QGroupBox*>();
    ASSERT_NE(panel, nullptr);
    auto* boxes = static_cast<QGridLayout*>(panel->layout());
    QStringList lines;
    for (int line = 0; line < boxes->rowCount(); ++line) {
        QStringList captions;
        for (int pos = 0; pos < 3; ++pos)
            if (QLayoutItem* item = boxes->itemAtPosition(line, pos))
                captions << static_cast<QCheckBox*>(item->widget())->text();
        lines << captions.join(u',');
    }
    EXPECT_EQ(
        lines,
        QStringList({"管理员权限设置,清理数据,管理员日志", "出租库查看,出租库删除,出租库修改",
                     "会员库查看,会员库删除,会员库修改", "销售库查看,销售库删除,销售库修改",
                     "收入状况统计,会员类型,商品类型", "销售库库存修改,系统信息设置,销售出租互转",
                     "修改会员卡内金额,顾客退货", "销售时修改价格,出租时修改押金,归还时修改租金"}));
    EXPECT_EQ(panel->findChildren<QCheckBox*>().size(), 23);
    // browsing: the built-in administrator's boxes, disabled
    EXPECT_TRUE(window.permissionBox("清理数据")->isChecked());
    EXPECT_FALSE(window.permissionBox("清理数据")->isEnabled());

    window.tool(ReferenceListWindow::Tool::Add)->trigger();
    EXPECT_TRUE(window.isAdding());
    for (const QString& column : permissionColumns()) {
        if (QCheckBox* box = window.permissionBox(column)) {
            EXPECT_EQ(box->isChecked(), column == QStringLiteral("会员类型"))
                << column.toStdString();
            EXPECT_TRUE(box->isEnabled());
        }
    }
    window.tool(ReferenceListWindow::Tool::Save)->trigger();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("请填写名称！"));
    EXPECT_TRUE(window.isEditing());

    auto* name = qobject_cast<QLineEdit*>(window.field("AdminName"));
    name->setText(QStringLiteral("超级管理员"));
    window.tool(ReferenceListWindow::Tool::Save)->trigger();
    EXPECT_EQ(prompts.lastText(), QStringLiteral("管理员\"超级管理员\"已经存在!"));
    EXPECT_TRUE(window.isEditing());

    name->setText(QStringLiteral("收银员"));
    window.permissionBox("出租库查看")->setChecked(true);
    window.tool(ReferenceListWindow::Tool::Save)->trigger();
    EXPECT_FALSE(window.isEditing());
    EXPECT_EQ(window.grid()->loadedRowCount(), 2);
    const QString pwd = pwdOf(QStringLiteral("收银员"));
    EXPECT_TRUE(Passwords::isHash(pwd));
    EXPECT_TRUE(Passwords::verify(pwd, QStringLiteral("7302")));
    EXPECT_TRUE(yesNo("收银员", "会员类型"));
    EXPECT_TRUE(yesNo("收银员", "出租库查看"));
    for (const char* off :
         {"管理员权限设置", "商品类型", "清理数据", "供应商信息", "供应商货款管理"})
        EXPECT_FALSE(yesNo("收银员", QString::fromUtf8(off))) << off;
}

TEST_P(AdminWindowTest, SomeoneAlwaysKeepsTheRightToManageAdministrators) {
    login.adminName = QStringLiteral("店长");
    execOk(QStringLiteral("insert into 管理员(\"AdminName\", \"管理员权限设置\") values(?, ?)"),
           {QStringLiteral("店长"), true});
    execOk(QStringLiteral("insert into 管理员(\"AdminName\", \"管理员权限设置\") values(?, ?)"),
           {QStringLiteral("收银员"), false});
    TAdminFm window(login);
    window.show();
    auto choose = [&](const char* name) {
        EXPECT_TRUE(window.grid()->locate("AdminName", QString::fromUtf8(name))) << name;
    };
    auto refusedSave = [&](const char* newName, bool manages, const char* refusal) {
        window.modify();
        qobject_cast<QLineEdit*>(window.field("AdminName"))->setText(QString::fromUtf8(newName));
        window.permissionBox(QStringLiteral("管理员权限设置"))->setChecked(manages);
        EXPECT_FALSE(window.save()) << newName;
        EXPECT_EQ(prompts.lastText(), QString::fromUtf8(refusal));
        window.cancel();
    };
    const char* lastManager = "至少要有一个管理员拥有\"管理员权限设置\"权限!";

    choose("超级管理员");
    EXPECT_FALSE(window.remove());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("超级管理员不能删除!"));
    refusedSave("老板", true, "超级管理员不能改名!");
    choose("店长");
    EXPECT_FALSE(window.remove());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("不能删除当前登录的管理员!"));

    // two managers: one may give the right up; then the other must keep it
    choose("超级管理员");
    window.modify();
    window.permissionBox(QStringLiteral("管理员权限设置"))->setChecked(false);
    ASSERT_TRUE(window.save());
    EXPECT_FALSE(yesNo("超级管理员", "管理员权限设置"));
    choose("店长");
    refusedSave("店长", false, lastManager);
    EXPECT_TRUE(yesNo("店长", "管理员权限设置"));
    login.adminName = QStringLiteral("超级管理员");
    TAdminFm other(login);
    ASSERT_TRUE(other.grid()->locate("AdminName", QStringLiteral("店长")));
    EXPECT_FALSE(other.remove());
    EXPECT_EQ(prompts.lastText(), QString::fromUtf8(lastManager));

    // an administrator without the right goes after the question
    ASSERT_TRUE(other.grid()->locate("AdminName", QStringLiteral("收银员")));
    prompts.setNextAnswer(true);
    EXPECT_TRUE(other.remove());
    EXPECT_EQ(prompts.lastText(), QStringLiteral("您是否要删除\" 收银员\""));
    EXPECT_EQ(count("管理员"), 2);
    EXPECT_EQ(count("管理员", QStringLiteral("\"AdminName\" = ?"), {QStringLiteral("超级管理员")}),
              1);
}

TEST_P(AdminWindowTest, PasswordChangeRefusalsKeepTheBoxes) {
    struct Case {
        const char* old;
        const char* fresh;
        const char* confirm;
        const char* message;
    };
    const QList<Case> cases = {
        {"7302", "abc", "abC", "两次输入的新密码不一致！"},
        {"7303", "abc", "abc", "旧密码输入错误！"},
        {"7302", "a'b\"c", "a'b\"c", "修改成功！"},
        {"a'b\"c", "", "", "修改成功！"}, // an empty new password is accepted
    };
    QString current = QStringLiteral("7302");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TChangeAdminPwdFm window(login);
        window.show();
        EXPECT_EQ(window.nameLabel()->text(), QStringLiteral("超级管理员"));
        EXPECT_EQ(window.oldBox()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(window.confirmBox()->echoMode(), QLineEdit::Password);
        QTest::keyClicks(window.oldBox(), c.old);
        QTest::keyClicks(window.newBox(), c.fresh);
        QTest::keyClicks(window.confirmBox(), c.confirm);
        prompts.clear();
        QTest::keyClick(window.confirmBox(), Qt::Key_Return); // 保存 is the default button
        EXPECT_EQ(prompts.texts(), QStringList{QString::fromUtf8(c.message)});
        const bool changed = QByteArray(c.message) == "修改成功！";
        EXPECT_EQ(window.result() == QDialog::Accepted, changed);
        if (!changed) {
            EXPECT_EQ(window.newBox()->text(), QString::fromUtf8(c.fresh));
        }
        if (changed)
            current = QString::fromUtf8(c.fresh);
        EXPECT_TRUE(Passwords::verify(pwdOf("超级管理员"), current));
    }
}

TEST_P(AdminWindowTest, LogListsEveryKindAndDeletesSinglyAndAll) {
    // one row as each of the four writers leaves it (they all write through AdminLog)
    const QList<std::pair<const char*, const char*>> rows = {
        {"出租转销售", "R001"},
        {"销售转出租", "S001"},
        {"修改库存", "S002"},
        {"修改会员卡内金额和积分", "M0001"},
    };
    for (const auto& [event, barcode] : rows)
        ASSERT_TRUE(db.inTransaction([&] {
                          return AdminLog::write(db, QString::fromUtf8(event),
                                                 QStringLiteral("店长"),
                                                 QString::fromUtf8(barcode));
                      }).ok());
    TAdminLogFm window(login);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("管理员日志"));
    EXPECT_FALSE(window.searchBox()->isVisible()); // a log has no search row
    QStringList tools;
    for (QAction* action : window.findChild<QToolBar*>()->actions())
        tools << action->text();
    EXPECT_EQ(tools, QStringList({"删除当前", "全部删除", "导出Excel", "打印", "退出"}));
    ASSERT_EQ(window.grid()->loadedRowCount(), 4);
    EXPECT_EQ(window.grid()->footerCount(), 4);
    QStringList shown;
    for (int r = 0; r < 4; ++r) {
        window.grid()->setCurrentRow(r);
        shown << window.grid()->text("事件") + u'|' + window.grid()->text("说明");
    }
    EXPECT_EQ(shown, QStringList({"出租转销售|条形码:R001", "销售转出租|条形码:S001",
                                  "修改库存|条形码:S002", "修改会员卡内金额和积分|条形码:M0001"}));

    window.grid()->setCurrentRow(1);
    window.tool("删除当前")->trigger(); // answered No
    EXPECT_EQ(prompts.texts(), QStringList{"您是否要删除"});
    EXPECT_EQ(count("管理员日志"), 4);
    prompts.setNextAnswer(true);
    window.tool("删除当前")->trigger();
    EXPECT_EQ(count("管理员日志", "事件 = ?", {QStringLiteral("销售转出租")}), 0);
    EXPECT_EQ(window.grid()->footerCount(), 3);

    prompts.clear();
    prompts.setNextAnswer(true);
    window.tool("全部删除")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList({"您是否要全部删除", "删除完毕!"}));
    EXPECT_EQ(count("管理员日志"), 0);
    EXPECT_EQ(window.grid()->loadedRowCount(), 0);
    EXPECT_EQ(window.grid()->footerCount(), 0);

    // nothing to delete: no question, no error
    prompts.clear();
    window.tool("删除当前")->trigger();
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_P(AdminWindowTest, CleanDataNeedsThePasswordAndClosesAfterItsMessages) {
    execOk(QStringLiteral("insert into 收入记录(项目) values('租金')"));
    execOk(QStringLiteral("insert into 出租记录(条形码, 已还) values('R1', '否')"));
    TCleanDataFm window(login);
    window.show();
    ASSERT_EQ(window.boxes().size(), 11);
    for (QCheckBox* box : window.boxes())
        EXPECT_FALSE(box->isChecked());
    window.boxes()[4]->setChecked(true); // 清空收入记录
    window.boxes()[5]->setChecked(true); // 删除已还出租记录
    window.boxes()[8]->setChecked(true); // 收入记录

    QTest::mouseClick(window.okButton(), Qt::LeftButton); // prompt cancelled
    prompts.setNextText(QStringLiteral("KQZ507318264"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList({"输入正确的密码后才能执行删除任务:", "密码错误!",
                                            "输入正确的密码后才能执行删除任务:", "密码错误!"}));
    EXPECT_EQ(prompts.shown()[0].caption, QStringLiteral("输入密码"));
    EXPECT_EQ(count("收入记录"), 1);
    EXPECT_TRUE(window.isVisible());

    prompts.clear();
    prompts.setNextText(QStringLiteral("kqz507318264"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts().mid(1),
              QStringList(
                  {"删除收入记录数据完毕!", "删除已还出租记录数据完毕!", "删除收入记录数据完毕!"}));
    EXPECT_EQ(count("收入记录"), 0);
    EXPECT_EQ(count("出租记录"), 1); // still out
    EXPECT_EQ(window.result(), QDialog::Accepted);
    // what was deleted is in the backup taken before, beside de.ini
    const QStringList backups = Backup::filesIn(QDir(database->folder()).filePath("备份"));
    ASSERT_EQ(backups.size(), 1);
    EXPECT_TRUE(QFileInfo(backups[0]).fileName().startsWith(QStringLiteral("初始化前_备份_")));
    auto kept = Backup::check(backups[0]);
    ASSERT_TRUE(kept.ok()) << kept.error().toStdString();
    EXPECT_EQ(kept.value().figures.tables[Schema::tableNames().indexOf("收入记录")].rows, 1);
    // the deleting ran with its progress in the window, which is free again
    EXPECT_EQ(window.progressBar()->maximum(), 3);
    EXPECT_EQ(window.progressBar()->value(), 3);
    EXPECT_FALSE(window.progressBar()->isVisible());
    EXPECT_TRUE(window.okButton()->isEnabled());
}

TEST_P(AdminWindowTest, CleanDataDeletesNothingWhenItsBackupFails) {
    execOk(QStringLiteral("insert into 收入记录(项目) values('租金')"));
    // a file where the folder of backups belongs
    QFile blocker(QDir(database->folder()).filePath("备份"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TCleanDataFm window(login);
    window.show();
    window.boxes()[4]->setChecked(true); // 清空收入记录
    prompts.setNextText(QStringLiteral("kqz507318264"));
    QTest::mouseClick(window.okButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.texts().size(), 2);
    EXPECT_TRUE(prompts.texts()[1].startsWith(QStringLiteral("备份数据失败, 没有删除任何数据.")))
        << prompts.texts()[1].toStdString();
    EXPECT_EQ(count("收入记录"), 1);
    EXPECT_TRUE(window.isVisible());
}

TEST(AdminWindows, SystemInformationIsTrimmedIntoTheFileOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath("de.ini");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[part1]\nsoftname=旧书屋\ntel=1\naddr=2\n[part2]\nHyGuiHuanShiTiShi=1\n");
    file.close();
    LoginContext login;
    login.config.softName = QStringLiteral("旧书屋");
    login.config.tel = QStringLiteral("1");
    login.config.addr = QStringLiteral("2");
    login.config.iniPath = path;
    PromptRecorder prompts;
    TSysInfoSetFM window(login);
    window.show();
    EXPECT_EQ(window.titleBox()->text(), QStringLiteral("旧书屋"));
    EXPECT_TRUE(window.returnPromptBox()->isChecked());
    window.titleBox()->setText(QStringLiteral("  新书屋  "));
    window.telBox()->setText(QStringLiteral(" 010 "));
    window.returnPromptBox()->setChecked(false);
    QTest::mouseClick(window.saveButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{"修改成功,重启软件后生效!"});
    EXPECT_EQ(window.result(), QDialog::Accepted);
    const IniFile ini(path);
    EXPECT_EQ(ini.read("part1", "softname", "?"), QStringLiteral("新书屋"));
    EXPECT_EQ(ini.read("part1", "tel", "?"), QStringLiteral("010"));
    EXPECT_EQ(ini.read("part2", "HyGuiHuanShiTiShi", "?"), QStringLiteral("0"));
    EXPECT_EQ(login.config.softName, QStringLiteral("旧书屋")); // until the next start

    // the window shows what the file holds now, so a second save keeps it
    TSysInfoSetFM second(login);
    second.show();
    EXPECT_EQ(second.titleBox()->text(), QStringLiteral("新书屋"));
    EXPECT_EQ(second.telBox()->text(), QStringLiteral("010"));
    EXPECT_FALSE(second.returnPromptBox()->isChecked());
    QTest::mouseClick(second.saveButton(), Qt::LeftButton);
    EXPECT_EQ(ini.read("part1", "softname", "?"), QStringLiteral("新书屋"));

    // closing writes nothing
    TSysInfoSetFM again(login);
    again.show();
    again.titleBox()->setText(QStringLiteral("别的"));
    QTest::mouseClick(again.closeButton(), Qt::LeftButton);
    EXPECT_EQ(ini.read("part1", "softname", "?"), QStringLiteral("新书屋"));
}

TEST(AdminWindows, AboutNamesTheDatabaseKind) {
    for (const auto& [kind, text] : QList<std::pair<QString, QString>>{
             {"a", "当前数据库是:Access"}, {"s", "当前数据库是SqlServer"}}) {
        LoginContext login;
        login.config.kind = kind;
        login.config.softName = QStringLiteral("书屋");
        login.config.web = QStringLiteral("www.shop.cn");
        TAboutFm window(login);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("关于"));
        EXPECT_EQ(window.databaseLabel()->text(), text);
        EXPECT_EQ(window.titleLabel()->text(), QStringLiteral("书屋"));
        EXPECT_EQ(window.webLabel()->text(), QStringLiteral("www.shop.cn"));
    }
}

TEST_P(AdminWindowTest, AboutSaysWhetherTheServerConnectionIsEncrypted) {
    TAboutFm window(login);
    window.show();
    // the test server listens on a socket folder only, where there is no TLS;
    // TLS over TCP is shown by the fault tests' own cluster
    EXPECT_EQ(window.encryptionLabel()->text(),
              GetParam() == Engine::Postgres ? QStringLiteral("连接没有加密") : QString());
    EXPECT_EQ(window.encryptionLabel()->isVisible(), GetParam() == Engine::Postgres);
}
