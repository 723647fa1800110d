#pragma once

#include <QString>

class QApplication;

// The program's start: title, login window (which reads de.ini and opens
// the shared connection), the main window created hidden, the event loop.
namespace Startup {

// The fixed descriptive title of the application.
inline const QString Title = QStringLiteral("书碟租售管理系统");

// Told when the start-up connection failed and the settings window closed:
// a new choice takes effect only at the next start, so the run ends.
inline const QString NoDatabase = QStringLiteral("数据库没有连接, 程序将退出. 请重新启动软件.");

// de.ini in the program's folder; the environment variable SHOP_CONFIG_DIR
// names another folder (tests, screenshots, a second shop on one machine).
QString iniPath();

// Runs the whole program; gives the exit code.
int run(QApplication& app);

} // namespace Startup
