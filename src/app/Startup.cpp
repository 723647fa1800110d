#include "app/Startup.h"

#include "app/TLgFm.h"
#include "app/TMFm.h"
#include "output/TDmFm.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/IniFile.h"
#include "store/LoginContext.h"
#include "store/Schema.h"
#include "store/StatementWatch.h"
#include "store/Translations.h"
#include "ui/Fonts.h"
#include "ui/ModalRunner.h"
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

Status mayOpenSchema(const QString& connectionName) {
    const Db db(connectionName);
    auto version = Schema::version(db);
    if (!version)
        return Error{version.error()};
    if (version.value() >= Schema::CurrentVersion)
        return {};
    auto allowed = Connection::mayChangeSchema(connectionName);
    if (!allowed)
        return Error{allowed.error()};
    if (allowed.value())
        return {};
    const QString user = db.handle().userName();
    if (version.value() == 0)
        return Error{QStringLiteral("数据库中还没有数据表, 数据库用户 %1 无权建立. "
                                    "请由数据库的所有者运行 shop-admin init 建立后再启动软件.")
                         .arg(user)};
    return Error{QStringLiteral("数据库版本 %1 比本程序 (版本 %2) 旧, 数据库用户 %3 无权升级. "
                                "请由数据库的所有者运行 shop-admin upgrade 升级后再启动软件.")
                     .arg(version.value())
                     .arg(Schema::CurrentVersion)
                     .arg(user)};
}

// How long a statement may wait for the server, from de.ini ([part2]
// BookingTimeout for the statements of a booking, ReadTimeout for lists and
// reports; seconds, 0 for no limit): past it the connection is given up.
void applyStatementDeadlines(const QString& iniPath) {
    const IniDocument ini = IniFile(iniPath).load();
    auto seconds = [&](const QString& key, int fallback) {
        bool ok = false;
        const int value = ini.value(QStringLiteral("part2"), key, {}).trimmed().toInt(&ok);
        return ok && value >= 0 ? value : fallback;
    };
    StatementWatch::setDeadlines(seconds(QStringLiteral("BookingTimeout"), 20),
                                 seconds(QStringLiteral("ReadTimeout"), 120));
}

Status openDatabase(const ShopConfig& config, const QString& connectionName) {
    applyStatementDeadlines(config.iniPath);
    if (Status opened = Connection::open(config.connectionString, connectionName); !opened)
        return opened;
    if (Status allowed = mayOpenSchema(connectionName); !allowed) {
        Connection::close(connectionName);
        return allowed;
    }
    if (Status ready = Schema::openOrCreate(Db(connectionName)); !ready) {
        Connection::close(connectionName);
        return ready;
    }
    return {};
}

int run(QApplication& app) {
    // The application's name, not its display name: a display name would be
    // appended to every window caption on X11.
    QApplication::setApplicationName(Title);
    Translations::installQtChinese(app);
    Fonts::applyToApplication();
    WaitNotice::install();
    // export and printing speak through the program's prompts and modal runner
    TDmFm& output = TDmFm::current();
    output.showMessage = [](QWidget* parent, const QString& caption, const QString& text) {
        Prompt::error(parent, text, caption);
    };
    output.runDialog = [](QDialog& dialog) { return ModalRunner::run(&dialog); };
    // The login window and the main window end the run themselves.
    QApplication::setQuitOnLastWindowClosed(false);

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
