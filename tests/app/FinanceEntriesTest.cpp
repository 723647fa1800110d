#include "app/TMFm.h"
#include "finance/TDataCheckFm.h"
#include "finance/TInComeStatFm.h"
#include "finance/TPayFm.h"
#include "finance/TPurchaseRecordFm.h"
#include "finance/TRefundStatFm.h"
#include "finance/TRentDetailFm.h"
#include "finance/TSaleDetailFm.h"
#include "finance/TShouZhiTypeFm.h"
#include "finance/TZhiChuFm.h"
#include "finance/TZhiChuStatFm.h"
#include "support/ModalStandIns.h"
#include "support/TestDatabase.h"

#include <QAction>
#include <gtest/gtest.h>

// The finance entries of the menu and the toolbar open their windows.
TEST(FinanceEntries, MenuAndToolbarOpenTheFinanceWindows) {
    TestDatabase database(Engine::Sqlite);
    ASSERT_TRUE(database.create().ok());
    LoginContext login;
    login.adminName = QStringLiteral("店员");
    login.permissions.set(Permission::IncomeStatistics, true);
    TMFm window(login);
    PromptRecorder prompts;
    QString opened;
    WindowRunner runner([&](QDialog* dialog) {
        const struct {
            bool is;
            const char* name;
        } kinds[] = {{dynamic_cast<TPayFm*>(dialog) != nullptr, "TPayFm"},
                     {dynamic_cast<TZhiChuFm*>(dialog) != nullptr, "TZhiChuFm"},
                     {dynamic_cast<TShouZhiTypeFm*>(dialog) != nullptr, "TShouZhiTypeFm"},
                     {dynamic_cast<TRentDetailFm*>(dialog) != nullptr, "TRentDetailFm"},
                     {dynamic_cast<TSaleDetailFm*>(dialog) != nullptr, "TSaleDetailFm"},
                     {dynamic_cast<TPurchaseRecordFm*>(dialog) != nullptr, "TPurchaseRecordFm"},
                     {dynamic_cast<TRefundStatFm*>(dialog) != nullptr, "TRefundStatFm"},
                     {dynamic_cast<TInComeStatFm*>(dialog) != nullptr, "TInComeStatFm"},
                     {dynamic_cast<TZhiChuStatFm*>(dialog) != nullptr, "TZhiChuStatFm"},
                     {dynamic_cast<TDataCheckFm*>(dialog) != nullptr, "TDataCheckFm"}};
        opened = QStringLiteral("other");
        for (const auto& kind : kinds)
            if (kind.is)
                opened = QString::fromLatin1(kind.name);
        dialog->reject();
    });
    const struct {
        bool toolbar;
        const char* caption;
        const char* window;
    } entries[] = {
        {false, "收费", "TPayFm"},
        {false, "支出", "TZhiChuFm"},
        {false, "收支类型", "TShouZhiTypeFm"},
        {false, "出租记录", "TRentDetailFm"},
        {true, "出租记录", "TRentDetailFm"},
        {false, "销售记录", "TSaleDetailFm"},
        {true, "销售记录", "TSaleDetailFm"},
        {false, "进货记录", "TPurchaseRecordFm"},
        {false, "退货记录", "TRefundStatFm"},
        {false, "收入统计", "TInComeStatFm"},
        {false, "支出统计", "TZhiChuStatFm"},
        {false, "数据盘点", "TDataCheckFm"},
    };
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.caption);
        opened.clear();
        const QString caption = QString::fromUtf8(entry.caption);
        QAction* action = entry.toolbar ? window.toolAction(caption) : window.menuAction(caption);
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(opened, QString::fromLatin1(entry.window));
    }
    EXPECT_TRUE(prompts.shown().isEmpty()) << prompts.texts().join(u'|').toStdString();
}
