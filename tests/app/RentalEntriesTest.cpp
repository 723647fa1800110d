#include "app/TMFm.h"
#include "rental/TRentFm.h"
#include "rental/TReturnFm.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <QLabel>
#include <gtest/gtest.h>

// "出租" and "归还" open the rent and return counters, from the menu and
// from the toolbar, for an administrator without any permission.
TEST(RentalEntries, MenuAndToolbarOpenTheRentAndReturnWindows) {
    TestDatabase database(Engine::Sqlite);
    ASSERT_TRUE(database.create().ok());
    LoginContext login;
    login.adminName = QStringLiteral("店员");
    TMFm window(login);
    PromptRecorder prompts;
    QStringList opened;
    WindowRunner runner([&](QDialog* dialog) {
        if (auto* rent = dynamic_cast<TRentFm*>(dialog))
            opened << QStringLiteral("出租 单据号 ") + rent->orderNumberLabel()->text();
        else if (dynamic_cast<TReturnFm*>(dialog))
            opened << QStringLiteral("归还");
        else
            opened << QStringLiteral("other: ") + dialog->windowTitle();
        dialog->reject();
    });
    window.menuAction(QStringLiteral("出租"))->trigger();
    window.toolAction(QStringLiteral("出租"))->trigger();
    window.menuAction(QStringLiteral("归还"))->trigger();
    window.toolAction(QStringLiteral("归还"))->trigger();
    EXPECT_EQ(opened, (QStringList{"出租 单据号 1", "出租 单据号 1", "归还", "归还"}));
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.texts().join(u'|').toStdString();
}
