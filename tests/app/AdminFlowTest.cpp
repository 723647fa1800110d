#include "AppTestSupport.h"
#include "admin/TAdminFm.h"
#include "admin/TSysInfoSetFM.h"
#include "admin/core/AdminLogin.h"
#include "app/MainActions.h"
#include "app/TMFm.h"
#include "rental/TReturnFm.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// Administrators made in the administrators window, then logged in as the
// login window does, and the main window's gates for them.
class AdminFlowTest : public EngineTest {
protected:
    LoginContext loginAs(const QString& name, const QString& password) {
        auto flags = AdminLogin::check(Db(), name, password);
        EXPECT_TRUE(flags.ok() && flags.value().has_value()) << name.toStdString();
        LoginContext login;
        login.adminName = name;
        if (flags.ok() && flags.value())
            login.permissions = *flags.value();
        return login;
    }
    // Runs a menu item; gives the titles of the windows it opened (each
    // handed to drive first).
    QStringList run(TMFm& main, const QString& item,
                    const std::function<void(QDialog*)>& drive = {}) {
        QStringList titles;
        WindowRunner scope([&](QDialog* dialog) {
            titles << dialog->windowTitle();
            if (drive)
                drive(dialog);
            dialog->reject();
        });
        main.menuAction(item)->trigger();
        return titles;
    }

    PromptRecorder prompts;
};
SHOP_ON_BOTH_ENGINES(AdminFlowTest);

TEST_P(AdminFlowTest, NewCashierLogsInWithTheInitialPasswordAndIsGated) {
    const LoginContext boss = loginAs(QStringLiteral("超级管理员"), QStringLiteral("7302"));
    TMFm bossWindow(boss);
    run(bossWindow, QStringLiteral("管理员权限设置"), [](QDialog* dialog) {
        auto* admins = qobject_cast<TAdminFm*>(dialog);
        ASSERT_NE(admins, nullptr);
        admins->add();
        qobject_cast<QLineEdit*>(admins->field(QStringLiteral("AdminName")))
            ->setText(QStringLiteral("收银员"));
        ASSERT_TRUE(admins->save());
    });
    ASSERT_EQ(count(QStringLiteral("管理员")), 2);

    EXPECT_FALSE(AdminLogin::check(Db(), QStringLiteral("收银员"), QStringLiteral("7303"))
                     .value()
                     .has_value());
    const LoginContext cashier = loginAs(QStringLiteral("收银员"), QStringLiteral("7302"));
    TMFm window(cashier);
    EXPECT_EQ(run(window, QStringLiteral("会员类型")), QStringList{"会员类型设置"});
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join(u'|').toStdString();
    for (const char* refused : {"管理员权限设置", "管理员日志", "系统信息设置", "初始化数据[慎重]",
                                "商品类型", "会员库"}) {
        SCOPED_TRACE(refused);
        prompts.clear();
        EXPECT_TRUE(run(window, QString::fromUtf8(refused)).isEmpty());
        EXPECT_EQ(prompts.texts(), QStringList{"没有权限!"});
    }
    prompts.clear();
    EXPECT_EQ(run(window, QStringLiteral("管理员密码修改 ")), QStringList{"管理员密码修改"});
}

TEST_P(AdminFlowTest, OwnPermissionChangesCountFromTheNextLogin) {
    // another manager, so that this one may give the right up
    execOk(QStringLiteral("insert into 管理员(\"AdminName\", \"管理员权限设置\") values(?, ?)"),
           {QStringLiteral("店长"), true});
    const LoginContext boss = loginAs(QStringLiteral("超级管理员"), QStringLiteral("7302"));
    TMFm window(boss);
    run(window, QStringLiteral("管理员权限设置"), [](QDialog* dialog) {
        auto* admins = qobject_cast<TAdminFm*>(dialog);
        admins->modify();
        admins->permissionBox(QStringLiteral("管理员权限设置"))->setChecked(false);
        ASSERT_TRUE(admins->save());
    });
    // this run keeps what was read at login
    EXPECT_EQ(run(window, QStringLiteral("管理员权限设置")), QStringList{"管理员权限设置"});
    const LoginContext next = loginAs(QStringLiteral("超级管理员"), QStringLiteral("7302"));
    EXPECT_FALSE(next.may(Permission::AdminRights));
    EXPECT_TRUE(next.may(Permission::CleanData));
}

TEST_P(AdminFlowTest, ReturnWindowReadsThePromptSettingAfresh) {
    QTemporaryDir dir;
    LoginContext login = loginAs(QStringLiteral("超级管理员"), QStringLiteral("7302"));
    login.config.iniPath = writeIni(dir.path(), {});
    TMFm window(login);
    for (const bool ticked : {true, false}) {
        SCOPED_TRACE(ticked);
        run(window, QStringLiteral("系统信息设置"), [&](QDialog* dialog) {
            auto* info = qobject_cast<TSysInfoSetFM*>(dialog);
            info->returnPromptBox()->setChecked(ticked);
            QTest::mouseClick(info->saveButton(), Qt::LeftButton);
        });
        bool prompted = !ticked;
        run(window, QStringLiteral("归还"), [&](QDialog* dialog) {
            prompted = qobject_cast<TReturnFm*>(dialog)->promptAfterReturn();
        });
        EXPECT_EQ(prompted, ticked);
    }
}
