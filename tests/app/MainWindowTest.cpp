#include "AppTestSupport.h"
#include "app/MainActions.h"
#include "app/TMFm.h"
#include "app/TSetDataFm.h"
#include "support/ModalStandIns.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {

LoginContext loggedIn(const PermissionFlags& flags, const QString& iniPath = {}) {
    LoginContext login;
    login.adminName = QStringLiteral("店员");
    login.permissions = flags;
    login.config.softName = QStringLiteral("测试音像店");
    login.config.company = QStringLiteral("测试公司");
    login.config.tel = QStringLiteral("010-1234");
    login.config.web = QStringLiteral("www.test.cn");
    login.config.email = QStringLiteral("a@test.cn");
    login.config.iniPath = iniPath;
    return login;
}

PermissionFlags allBut(Permission missing) {
    PermissionFlags flags = PermissionFlags::all();
    flags.set(missing, false);
    return flags;
}

// Counts the modal windows opened meanwhile and closes each at once.
struct WindowCounter {
    QStringList titles;
    WindowRunner scope{[this](QDialog* dialog) {
        titles << dialog->windowTitle();
        dialog->reject();
    }};
};

struct Gate {
    bool toolbar;
    QString caption;
    Permission permission;
    QString refusal;
};

const QList<Gate> gates = {
    {false, "系统信息设置", Permission::SystemInfo, "没有权限!"},
    {false, "管理员权限设置", Permission::AdminRights, "没有权限!"},
    {false, "管理员日志", Permission::AdminLog, "没有权限!"},
    {false, "供应商信息", Permission::Suppliers, "没有权限!"},
    {false, "初始化数据[慎重]", Permission::CleanData, "没有权限!"},
    {false, "数据库设置[慎重]", Permission::CleanData, "没有管理员权限!"},
    {false, "顾客退货", Permission::CustomerRefund, "没有权限!"},
    {false, "会员类型", Permission::MemberTypes, "没有权限!"},
    {false, "商品类型", Permission::GoodsTypes, "没有权限!"},
    {false, "收入统计", Permission::IncomeStatistics, "没有权限!"},
    {false, "会员库", Permission::MemberView, "没有权限!"},
    {false, "出租库", Permission::RentView, "没有权限!"},
    {false, "销售库", Permission::SaleView, "没有权限!"},
    {false, "备份数据", Permission::CleanData, "没有权限!"},
    {false, "恢复数据", Permission::CleanData, "没有权限!"},
    {false, "导入旧数据", Permission::CleanData, "没有权限!"},
    {true, "会员资料", Permission::MemberView, "没有权限!"},
    {true, "出租库", Permission::RentView, "没有权限!"},
    {true, "销售库", Permission::SaleView, "没有权限!"},
};

} // namespace

TEST(MainWindow, MenusAndToolbarCarryTheirExactCaptions) {
    const LoginContext login = loggedIn(PermissionFlags::all());
    TMFm window(login);
    const QList<std::pair<QString, QStringList>> expected = {
        {"系统管理",
         {"系统信息设置", "管理员权限设置", "管理员日志", "管理员密码修改 ", "供应商信息",
          "初始化数据[慎重]", "数据库设置[慎重]", "退出"}},
        {"基本业务", {"出租", "归还", "销售", "会员充值", "收费", "支出", "顾客退货"}},
        {"基本资料设置", {"存放位置", "会员类型", "商品类型", "介质", "收支类型"}},
        {"查询统计",
         {"出租记录", "销售记录", "进货记录", "退货记录", "收入统计", "支出统计", "数据盘点"}},
        {"库管理", {"会员库", "出租库", "销售库"}},
        {"工具", {"备份数据", "恢复数据", "导入旧数据"}},
        {"帮助", {"使用帮助", "关于"}},
    };
    const QList<QAction*> menus = window.menuBar()->actions();
    ASSERT_EQ(menus.size(), expected.size());
    for (int m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(menus[m]->text(), expected[m].first);
        QStringList items;
        for (QAction* item : menus[m]->menu()->actions()) {
            if (!item->isSeparator())
                items << item->text();
        }
        EXPECT_EQ(items, expected[m].second) << expected[m].first.toStdString();
    }
    QStringList buttons;
    const QToolBar* bar = window.findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    for (QAction* action : bar->actions())
        buttons << action->text();
    EXPECT_EQ(buttons, QStringList({"出租", "归还", "销售", "出租库", "销售库", "会员资料",
                                    "出租记录", "销售记录", "会员充值", "退出"}));
    EXPECT_EQ(bar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
}

TEST(MainWindow, EveryGateRefusesWithoutItsPermissionAndOpensNothing) {
    QTemporaryDir dir;
    const QString iniPath = writeIni(dir.path(), {{"abc", "a"}});
    for (const Gate& gate : gates) {
        SCOPED_TRACE(gate.caption.toStdString() + (gate.toolbar ? " (toolbar)" : " (menu)"));
        const LoginContext login = loggedIn(allBut(gate.permission), iniPath);
        TMFm window(login);
        QAction* action =
            gate.toolbar ? window.toolAction(gate.caption) : window.menuAction(gate.caption);
        ASSERT_NE(action, nullptr);
        PromptRecorder prompts;
        WindowCounter windows;
        const int dialogsBefore = dialogCount();
        action->trigger();
        ASSERT_EQ(prompts.shown().size(), 1);
        EXPECT_EQ(prompts.shown()[0].text, gate.refusal);
        EXPECT_TRUE(windows.titles.isEmpty());
        EXPECT_EQ(dialogCount(), dialogsBefore);

        // with the permission the gate lets the administrator through
        const LoginContext allowed = loggedIn(PermissionFlags::all(), iniPath);
        TMFm allowedWindow(allowed);
        QAction* same = gate.toolbar ? allowedWindow.toolAction(gate.caption)
                                     : allowedWindow.menuAction(gate.caption);
        prompts.clear();
        same->trigger();
        EXPECT_FALSE(prompts.texts().contains(gate.refusal));
        EXPECT_FALSE(windows.titles.isEmpty()) << prompts.texts().join(u'|').toStdString();
    }
}

TEST(MainWindow, UngatedItemsOpenForAnAdministratorWithoutPermissions) {
    QTemporaryDir dir;
    const LoginContext login = loggedIn(PermissionFlags(), writeIni(dir.path(), {}));
    TMFm window(login);
    QStringList gated;
    for (const Gate& gate : gates)
        gated << gate.caption;
    for (const MainAction& entry : mainActions()) {
        if (gated.contains(entry.caption) || entry.kind == MainAction::Kind::Exit)
            continue;
        SCOPED_TRACE(entry.caption.toStdString());
        PromptRecorder prompts;
        WindowCounter windows;
        window.menuAction(entry.caption)->trigger();
        // a window, or a message saying what there is: never silently nothing
        EXPECT_TRUE(!windows.titles.isEmpty() || !prompts.texts().isEmpty());
        EXPECT_FALSE(prompts.texts().contains(NoRights));
        EXPECT_FALSE(prompts.texts().contains(NoAdminRights));
    }
}

TEST(MainWindow, StatusBarShowsAdministratorAndShop) {
    const LoginContext login = loggedIn(PermissionFlags::all());
    TMFm window(login);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("测试音像店"));
    const QList<QLabel*> panels = window.statusPanels();
    ASSERT_EQ(panels.size(), 4);
    EXPECT_EQ(panels[0]->text(), QStringLiteral("管理员: 店员"));
    EXPECT_EQ(panels[1]->text(), QStringLiteral("测试公司"));
    EXPECT_EQ(panels[2]->text(), QStringLiteral("010-1234"));
    EXPECT_EQ(panels[3]->text(), QStringLiteral("网址: www.test.cn   邮件: a@test.cn"));
}

TEST(MainWindow, NoToTheExitQuestionChangesNothing) {
    const LoginContext login = loggedIn(PermissionFlags::all());
    TMFm window(login);
    window.show();
    QSignalSpy exited(&window, &TMFm::exited);
    PromptRecorder prompts;
    window.menuAction(QStringLiteral("退出"))->trigger();
    window.toolAction(QStringLiteral("退出"))->trigger();
    EXPECT_FALSE(window.close());
    ASSERT_EQ(prompts.shown().size(), 3);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.kind, PromptRecorder::Kind::Question);
        EXPECT_EQ(shown.text, QStringLiteral("确认要退出吗?"));
        EXPECT_EQ(shown.caption, QStringLiteral("请确认"));
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(exited.count(), 0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("测试音像店"));
    EXPECT_EQ(window.statusPanels()[0]->text(), QStringLiteral("管理员: 店员"));
}

TEST(MainWindow, YesEndsTheRunWithoutAskingAgain) {
    const LoginContext login = loggedIn(PermissionFlags::all());
    TMFm window(login);
    window.show();
    QSignalSpy exited(&window, &TMFm::exited);
    PromptRecorder prompts;
    prompts.setNextAnswer(true);
    window.toolAction(QStringLiteral("退出"))->trigger();
    EXPECT_EQ(prompts.shown().size(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(exited.count(), 1);
}

TEST(MainWindow, ClosingTheWindowAsksFirst) {
    const LoginContext login = loggedIn(PermissionFlags::all());
    TMFm window(login);
    window.show();
    QSignalSpy exited(&window, &TMFm::exited);
    PromptRecorder prompts;
    prompts.setNextAnswer(true);
    EXPECT_TRUE(window.close());
    EXPECT_EQ(prompts.texts(), QStringList{"确认要退出吗?"});
    EXPECT_EQ(exited.count(), 1);
}

TEST(MainWindow, SettingsWindowStartsFreshAtEveryOpening) {
    QTemporaryDir dir;
    const QString iniPath =
        writeIni(dir.path(), {{"abc", "s"}, {"DataBaseName", "shop"}, {"UserName", "kasse"}});
    LoginContext login = loggedIn(PermissionFlags::all(), iniPath);
    login.config.kind = QStringLiteral("s");
    TMFm window(login);
    PromptRecorder prompts;
    QStringList databases;
    WindowRunner scope([&](QDialog* dialog) {
        auto* settings = qobject_cast<TSetDataFm*>(dialog);
        ASSERT_NE(settings, nullptr);
        databases << settings->databaseBox()->text();
        EXPECT_TRUE(settings->serverRadio()->isChecked());
        EXPECT_FALSE(settings->saveButton()->isEnabled());
        settings->databaseBox()->setText(QStringLiteral("改过的"));
        settings->accessRadio()->click();
        settings->reject();
    });
    QAction* item = window.menuAction(QStringLiteral("数据库设置[慎重]"));
    item->trigger();
    item->trigger();
    EXPECT_EQ(databases, QStringList({"shop", "shop"}));
    EXPECT_EQ(window.findChildren<TSetDataFm*>().size(), 0);
}
