#include "app/Startup.h"

#include "app/TLgFm.h"
#include "app/TMFm.h"
#include "store/Connection.h"
#include "store/IniFile.h"
#include "store/LoginContext.h"
#include "store/Translations.h"
#include "ui/Fonts.h"
#include "ui/Prompt.h"
#include "ui/WaitNotice.h"

#include <QApplication>
#include <QDir>

namespace Startup {

QString iniPath() {
    const QString folder = qEnvironmentVariable("SHOP_CONFIG_DIR");
    if (folder.isEmpty())
        return IniFile::defaultPath();
    return QDir(folder).absoluteFilePath(QStringLiteral("de.ini"));
}

int run(QApplication& app) {
    // The application's name, not its display name: a display name would be
    // appended to every window caption on X11.
    QApplication::setApplicationName(Title);
    Translations::installQtChinese(app);
    Fonts::applyToApplication();
    WaitNotice::install();
    // The login window and the main window end the run themselves.
    QApplication::setQuitOnLastWindowClosed(false);

    // The shared connection is closed here, however the run ends, once the
    // windows that use it are gone (closing leaves fresh planner statistics
    // behind for the next start).
    struct CloseAtEnd {
        CloseAtEnd() = default;
        CloseAtEnd(const CloseAtEnd&) = delete;
        CloseAtEnd& operator=(const CloseAtEnd&) = delete;
        ~CloseAtEnd() { Connection::close(Connection::Shared); }
    } const closeAtEnd;

    LoginContext login;
    TLgFm loginWindow(login, iniPath());
    if (!loginWindow.connected()) {
        Prompt::information(nullptr, NoDatabase);
        return 1;
    }
    TMFm mainWindow(login);
    QObject::connect(&loginWindow, &QDialog::accepted, &mainWindow, &QWidget::showMaximized);
    QObject::connect(&loginWindow, &QDialog::rejected, &app, &QCoreApplication::quit);
    QObject::connect(&mainWindow, &TMFm::exited, &app, &QCoreApplication::quit);
    loginWindow.show();
    return app.exec();
}

} // namespace Startup
