#pragma once

#include "store/LoginContext.h"
#include "store/Permissions.h"
#include "ui/WindowSlot.h"

#include <QList>
#include <QString>
#include <optional>

class QWidget;

// The menus of the main window, left to right.
// "工具" holds what the program offers beyond the described menus.
enum class MainMenu { System, Business, Reference, Queries, Stores, Tools, Help };
QString menuCaption(MainMenu menu);

// What a menu item opens, over the main window as parent.
using MainOpener = void (*)(QWidget& main, const LoginContext& login);

// One item of the main window's menu: its caption, the permission that
// gates it (none: open to every administrator), the refusal shown when the
// permission is missing, and what it opens. The exit item opens nothing:
// it asks the main window to end the run.
struct MainAction {
    enum class Kind { Open, Exit };

    MainMenu menu;
    QString caption;
    std::optional<Permission> gate;
    QString refusal;
    MainOpener open = nullptr;
    Kind kind = Kind::Open;
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

// Openers for the table.

// A window built as W(const LoginContext&, QWidget* parent), run modally
// in its slot and destroyed when closed.
template <class W> void openWindow(QWidget& main, const LoginContext& login) {
    WindowSlot<W> slot;
    slot.open([&] { return new W(login, &main); });
}

void showHelp(QWidget& main, const LoginContext& login);

inline const QString NoRights = QStringLiteral("没有权限!");
inline const QString NoAdminRights = QStringLiteral("没有管理员权限!");
