#include "admin/TAdminFm.h"
#include "admin/TSysInfoSetFM.h"
#include "catalogue/TMediumFm.h"
#include "catalogue/TPlaceFm.h"
#include "catalogue/TProvideComFm.h"
#include "catalogue/TSpTypeFm.h"
#include "members/THyTypeFm.h"
#include "store/IniFile.h"
#include "support/WindowTest.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Presses Tab until target has the focus, filling every empty box passed
// on the way (a number box with 1); false when Tab never gets there.
bool tabTo(QWidget* target, int& filled) {
    for (int step = 0; step < 60; ++step) {
        QWidget* focused = QApplication::focusWidget();
        if (!focused)
            return false;
        if (focused == target)
            return true;
        if (auto* box = qobject_cast<QLineEdit*>(focused); box && box->text().isEmpty()) {
            typeInto(box, qobject_cast<NumberEdit*>(box) ? QStringLiteral("1")
                                                         : QStringLiteral("键盘%1").arg(++filled));
        }
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    return false;
}

} // namespace

class KeyboardTest : public WindowTest {};
SHOP_ON_BOTH_ENGINES(KeyboardTest);

TEST_P(KeyboardTest, MaintenanceWindowsAddARowFromTheKeyboardAlone) {
    using Make = std::function<ReferenceListWindow*()>;
    const QList<std::pair<const char*, Make>> windows = {
        {"商品类型", [&] { return new TSpTypeFm(login); }},
        {"存放位置", [&] { return new TPlaceFm(login); }},
        {"介质", [&] { return new TMediumFm(login); }},
        {"供应商", [&] { return new TProvideComFm(login); }},
        {"会员类型", [&] { return new THyTypeFm(login); }},
        {"管理员", [&] { return new TAdminFm(login); }},
    };
    for (const auto& [table, make] : windows) {
        SCOPED_TRACE(table);
        std::unique_ptr<ReferenceListWindow> w(make());
        w->show();
        QApplication::setActiveWindow(w.get());
        const qint64 before = count(QString::fromUtf8(table));
        w->add(); // the first box has the focus
        auto* toolbar = w->findChild<QToolBar*>();
        QWidget* save = toolbar->widgetForAction(w->tool(ReferenceListWindow::Tool::Save));
        int filled = 0;
        ASSERT_TRUE(tabTo(save, filled));
        EXPECT_GE(filled, 1);
        QTest::keyClick(save, Qt::Key_Return);
        EXPECT_FALSE(w->isEditing()) << prompts->lastText().toStdString();
        EXPECT_EQ(count(QString::fromUtf8(table)), before + 1);
    }
}

TEST_P(KeyboardTest, SystemInformationSavesWithEnter) {
    QTemporaryDir dir;
    login.config.iniPath = dir.filePath(QStringLiteral("de.ini"));
    TSysInfoSetFM window(login);
    window.show();
    QApplication::setActiveWindow(&window);
    window.titleBox()->setFocus();
    window.titleBox()->clear();
    int filled = 0;
    ASSERT_TRUE(tabTo(window.saveButton(), filled));
    QTest::keyClick(window.saveButton(), Qt::Key_Return);
    EXPECT_EQ(prompts->lastText(), QStringLiteral("修改成功,重启软件后生效!"));
    EXPECT_EQ(IniFile(login.config.iniPath).read("part1", "SoftName", "?"),
              QStringLiteral("键盘1"));

    // Enter in a box saves as well
    TSysInfoSetFM again(login);
    again.show();
    QApplication::setActiveWindow(&again);
    again.telBox()->setFocus();
    again.telBox()->setText(QStringLiteral("0571"));
    QTest::keyClick(again.telBox(), Qt::Key_Return);
    EXPECT_EQ(IniFile(login.config.iniPath).read("part1", "Tel", "?"), QStringLiteral("0571"));
}
