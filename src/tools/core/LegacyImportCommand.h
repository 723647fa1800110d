#pragma once

#include <QStringList>
#include <QTextStream>

// shop-admin import-mdb: moving a shop in from its old Access file.
//   import-mdb FILE.mdb CONNECTION-STRING [--report REPORT-FILE]
//     (CONNECTION-STRING "-": read from the first line of standard input)
//   import-mdb --preview FILE.mdb [--report REPORT-FILE]
// While it reads, it prints one line per step on out, for a window that
// runs the command and shows its progress:
//   progress TABLE DONE TOTAL
// then the report (also written to REPORT-FILE, by default
// 导入报告_yyyyMMdd_hhmmss.txt in the current folder) and last
//   report REPORT-FILE
// SIGTERM or SIGINT cancels: the import's transaction is rolled back and
// nothing is written. Gives the exit status: 0 when the rows were written
// (or previewed), 1 when nothing was, 2 for wrong arguments.
namespace LegacyImportCommand {
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
}
