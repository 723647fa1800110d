#pragma once

#include "store/Connection.h"
#include "store/Db.h"
#include "store/Result.h"
#include "tools/core/ShopFigures.h"
#include "tools/core/TableCopy.h"

#include <QDateTime>
#include <QString>

// A backup of the shop's data is one SQLite file, whatever the engine it was
// taken from: every table as the schema makes it, with its rows, and a
// manifest (table backup_manifest) saying from which schema version, when,
// on which workstation and with which figures it was taken. It is made
// while the program and other workstations go on working: the rows and the
// figures are read in one snapshot. Before it is called done the copy is
// opened again, checked by SQLite and its figures compared with the
// source's; until then it is written under a temporary name, so a failure
// (a full disk, a folder that cannot be written) leaves no half file.
namespace Backup {

struct Manifest {
    int schemaVersion = 0;
    QDateTime madeAt;
    QString workstation;
    QString engine; // "SQLite" or "PostgreSQL": what it was taken from
    ShopFigures figures;
};

// "备份_yyyyMMdd_hhmmss.bak"
QString defaultFileName(const QDateTime& at);
// Where the program puts the backups it makes by itself (before a data
// initialisation): the folder 备份 beside de.ini.
QString automaticFolder(const QString& iniPath);
// The backups in a folder, newest first.
QStringList filesIn(const QString& folder);

// Backs the connection's database up into file (refused when the file
// exists: the window asks first and removes it). Cancelled through the
// progress step, it leaves nothing.
Result<Manifest> make(const Db& source, const QString& file, const ProgressStep& progress = {});

// The same over a connection of its own to target, for a worker thread
// (take the target with Connection::targetOf on the connection's own
// thread; the connection is closed afterwards).
Result<Manifest> makeApart(const ConnectionSpec& target, const QString& file,
                           const ProgressStep& progress = {});

// What a backup holds, in one line: version, tables, rows, when, where.
QString describe(const Manifest& manifest);

// Opens a backup file for reading only and checks it: a backup at all, not
// damaged (SQLite's integrity check, and the figures of its rows equal the
// manifest's), of a schema version this program knows.
Result<Manifest> check(const QString& file);

} // namespace Backup
