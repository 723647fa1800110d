#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QList>
#include <QString>
#include <atomic>
#include <functional>

// Moving a shop in from its old Access file (data.mdb): every table of the
// shop read from the file and written into a freshly made database in one
// transaction, the file's rows replacing the first rows (超级管理员, 散客,
// 普通 and the others). Values are taken as the file stores them: money to
// the ten-thousandth from the Currency's count, dates and moments as
// stored, text exact, pictures as their bytes (an OLE wrapper taken off),
// identity values kept with the engine's counter moved past the largest,
// clear-text administrator passwords stored as their hashes.
//
// A row that cannot be taken is refused and listed, the others are
// written; records naming a copy, item or card that is not there are
// written as they are and listed; a missing table or column leaves the
// column's default and is listed as a warning, as is a column or table
// of the file that the shop does not have.

// One line of the report. row is the row's number in the file's table
// (from 1), 0 when the line is about the whole table or column.
struct LegacyIssue {
    QString table;
    qint64 row = 0;
    QString column;
    QString reason;
    // the row's key in the file ("146", "HY0022"), when the table has one
    QString key;
};

struct LegacyTableCount {
    QString table;
    bool inFile = false;
    qint64 read = 0;
    qint64 written = 0; // in a preview: the rows that would be written
    qint64 refused = 0;
};

struct LegacyImportReport {
    QString file;
    QString format; // "Microsoft Access 2000 (Jet 4)"
    bool preview = false;
    QList<LegacyTableCount> tables; // the shop's 20 tables, in the schema's order
    QList<LegacyIssue> refused;
    QList<LegacyIssue> warnings;
    QList<LegacyIssue> orphans;

    const LegacyTableCount* table(const QString& name) const;
    // The report as shown on screen and saved: the counts per table, then
    // every refusal, warning and record kept with a missing reference, one
    // line each, fields separated by tabs.
    QString text() const;
};

namespace LegacyImport {

// Called now and then while a table is read: rows read so far of about
// total (the count the file's table keeps).
using Progress = std::function<void(const QString& table, qint64 done, qint64 total)>;

// What an import of the file would do, nothing written: the tables found
// and their rows, and every row that would be refused.
Result<LegacyImportReport> preview(const QString& file, const Progress& progress = {},
                                   const std::atomic<bool>* cancel = nullptr);

// Refused, with a message in the program's words, when the database holds
// anything beyond the first rows of a newly made one.
Status checkFresh(const Db& db);

// Imports the file into the database in one transaction; an empty
// database gets the tables first. Refused for a database that is not
// fresh, for a file that cannot be read, and when cancel is set meanwhile:
// then nothing is written.
Result<LegacyImportReport> importInto(const QString& file, const Db& db,
                                      const Progress& progress = {},
                                      const std::atomic<bool>* cancel = nullptr);

// Bytes of a picture without the OLE wrapper Access may put around them;
// the bytes as they are when there is none.
QByteArray withoutOleWrapper(const QByteArray& stored);
// Whether bytes are a picture the program shows (BMP, JPEG, PNG, GIF, ICO).
bool isPicture(const QByteArray& bytes);

inline const QString Cancelled = QStringLiteral("已取消导入, 数据库没有改变.");

} // namespace LegacyImport
