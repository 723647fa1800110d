#pragma once

#include "store/Connection.h"
#include "store/Result.h"
#include "tools/core/Backup.h"

// Puts a backup in the place of a database, all or nothing. The backup is
// checked first (Backup::check); one of an older schema version is brought
// up to date as the program does at start-up. The replaced data is kept
// aside until the restored one has been written and its figures equal the
// backup's:
//   - an SQLite file is written beside the database under a temporary name,
//     then the database file is renamed to "<name>.replaced_yyyyMMdd_hhmmss"
//     and the new one takes its name;
//   - on a server the database is first backed up into the folder of
//     automatic backups (that file is what is kept aside), then every table
//     is emptied and filled from the backup in one transaction, which is
//     committed only when the figures equal the backup's. The tables, their
//     grants to the workstations' roles, the pg_trgm extension and the
//     schema stay as they are. This needs the rights of the owner of the
//     shop's tables (empty them, move their identity counters), no
//     CREATEDB, and no other session connected.
// Nothing else may have the database open meanwhile: the caller closes its
// own connections to it first.
namespace Restore {

struct Outcome {
    Backup::Manifest manifest;
    QString keptAside; // the replaced file, or the replaced schema
};

// keepFolder: where a server's replaced data is backed up to.
Result<Outcome> run(const QString& backupFile, const ConnectionSpec& target,
                    const QString& keepFolder, const ProgressStep& progress = {});

// Refused, saying why, when the user of the named server connection cannot
// restore or import (not the owner of the shop's tables and schema), or
// while other sessions are connected to the database.
Status mayReplace(const QString& connectionName);

} // namespace Restore
