#pragma once

#include "store/LoginContext.h"

#include <QList>
#include <QMainWindow>

class QAction;
class QLabel;
struct MainAction;

// The main window: every function through its menu and toolbar, the
// administrator and the shop's display values in the status bar. Created
// hidden at start-up, shown after the login; closing it ends the program
// once the administrator confirms.
class TMFm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMFm(const LoginContext& login, QWidget* parent = nullptr);

    const LoginContext& login() const { return m_login; }

    // The menu item or toolbar button with this caption (nullptr when none).
    QAction* menuAction(const QString& caption) const;
    QAction* toolAction(const QString& caption) const;
    QList<QLabel*> statusPanels() const { return m_panels; }

    // "确认要退出吗?": Yes ends the program at once, No changes nothing.
    void confirmExit();

Q_SIGNALS:
    // The window closed after the administrator confirmed: the run ends.
    void exited();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void formShow();
    void buildMenus();
    void buildToolBar();
    // Tests the item's gate; refused, it shows the refusal and opens
    // nothing. Allowed, it opens the item's window, or for the exit item
    // asks to end the run.
    void run(const MainAction& action);

    const LoginContext& m_login;
    QList<QLabel*> m_panels;
    bool m_exitConfirmed = false;
};
