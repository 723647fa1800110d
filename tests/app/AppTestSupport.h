#pragma once

#include <QList>
#include <QString>
#include <utility>

class QDialog;

using IniLines = QList<std::pair<QString, QString>>;

// Writes de.ini into folder: the display values of a shop, then the given
// part1 keys; gives its path.
QString writeIni(const QString& folder, const IniLines& part1);

// The throw-away PostgreSQL server of the test scripts as "host:port" (the
// socket folder and port) and its user; empty when it is not running.
QString pgServer();
QString pgUser();

// Top-level dialogs that exist right now.
int dialogCount();
