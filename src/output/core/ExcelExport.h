#pragma once

#include "store/ListQuery.h"
#include "store/Result.h"

#include <QString>
#include <functional>

namespace ExcelExport {

struct Outcome {
    qint64 rows = 0;        // data rows written
    bool cancelled = false; // stopped by the progress callback: no file was left
};

// Called every few hundred rows with the rows written so far; returning
// false stops the export.
using Progress = std::function<bool(qint64 rowsWritten)>;

// Writes the rows of a list to an .xlsx workbook at path: a header row of
// the result's column names, then every row from the first in the query's
// order, every column; text as text, integers and money as numbers,
// date-times and dates as date cells with a date format, yes/no as
// booleans, NULL (and pictures) as empty cells; columns as wide as their
// content. Rows stream through in constant memory; past the last row of a
// worksheet the export goes on in a new one with the header again.
// The workbook is written beside path and moved there only when complete,
// so a failed or cancelled export leaves no file (and an older file at path
// untouched).
Result<Outcome> ExportQueryToExcel(const ListQuery& query, const QString& path,
                                   const Progress& progress = {});

// Number of rows of the list (for a progress bar).
Result<qint64> countRows(const ListQuery& query);

} // namespace ExcelExport
