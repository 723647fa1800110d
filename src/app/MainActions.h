#pragma once

#include "store/LoginContext.h"
#include "store/Permissions.h"
#include "ui/WindowSlot.h"

#include <QList>
#include <QString>
#include <optional>

class TMFm;

// The menus of the main window, left to right.
enum class MainMenu { System, Business, Reference, Queries, Stores, Help };
QString menuCaption(MainMenu menu);

// One item of the main window's menu: its caption, the permission that
// gates it (none: open to every administrator), the refusal shown when the
// permission is missing, and what it opens.
struct MainAction {
    MainMenu menu;
    QString caption;
    std::optional<Permission> gate;
    QString refusal;
    void (*open)(TMFm& main);
};

// Every menu item in menu order; the toolbar buttons run these too.
const QList<MainAction>& mainActions();
const MainAction* findMainAction(const QString& caption);

// A toolbar button: its caption, the caption of the menu item it runs, and
// the character drawn on its picture.
struct ToolButton {
    QString caption;
    QString menuItem;
    QString glyph;
};
const QList<ToolButton>& toolButtons();

// Tests the item's gate; refused, it shows the refusal and opens nothing.
void runMainAction(const MainAction& action, TMFm& main);

// Openers for the table.

// A window built as W(const LoginContext&, QWidget* parent), run modally
// in its slot and destroyed when closed.
template <class W> void openWindow(TMFm& main);

// An item whose window does not exist yet says so.
void notYetAvailable(TMFm& main);
void confirmExit(TMFm& main);
void showHelp(TMFm& main);

inline const QString NotYetAvailable = QStringLiteral("该功能尚未完成, 暂时不能使用.");
inline const QString NoRights = QStringLiteral("没有权限!");
inline const QString NoAdminRights = QStringLiteral("没有管理员权限!");

#include "app/TMFm.h"

template <class W> void openWindow(TMFm& main) {
    WindowSlot<W> slot;
    slot.open([&main] { return new W(main.login(), &main); });
}
