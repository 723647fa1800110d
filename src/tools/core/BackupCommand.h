#pragma once

#include <QStringList>
#include <QTextStream>

// shop-admin backup and restore:
//   backup CONNECTION-STRING FILE    a verified backup of the database into FILE
//   restore FILE CONNECTION-STRING   the backup in FILE in place of the database
//                                    (on a server: the owner's connection)
// While they work they print "progress PERCENT" lines on out. Give the exit
// status: 0 when done, 1 when nothing was changed, 2 for wrong arguments.
namespace BackupCommand {
int backup(const QStringList& arguments, QTextStream& out, QTextStream& err);
int restore(const QStringList& arguments, QTextStream& out, QTextStream& err);
} // namespace BackupCommand
