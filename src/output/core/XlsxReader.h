#pragma once

#include "store/Result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

struct XlsxBookData;

// An .xlsx workbook opened for reading its cell values: the sheets' names
// and, sheet by sheet, their rows. The values are plain:
// - text (shared, inline, rich or a formula's text result) as QString;
// - numbers as double;
// - booleans as bool;
// - numbers under a date or time number format as QDate (a date format and
//   no time of day), QDateTime (a date-time format, or a date with a time of
//   day) or QTime (a time-only format); local date-times, as the shop keeps
//   them; the workbook's 1900 or 1904 date system is followed;
// - error cells ("#DIV/0!") as their text;
// - empty cells as a null QVariant.
// A copy shares the open file; the file stays open as long as a copy lives.
class XlsxBook {
public:
    using Row = QVariantList;
    // Called for each row that holds a value, in the sheet's order, with its
    // row number (from 1) and its cells from column A up to its last value
    // (empty cells between are null); returning false stops the reading.
    using RowVisitor = std::function<bool(int rowNumber, const Row& cells)>;

    explicit XlsxBook(std::shared_ptr<const XlsxBookData> data);

    const QString& path() const;
    // The worksheets in the workbook's order, as their tabs name them.
    QStringList sheetNames() const;
    // Every row of a sheet (by its place in sheetNames()) down to the last
    // that holds a value: row i of the list is row i + 1 of the sheet, an
    // empty row an empty list.
    Result<QList<Row>> rows(int sheet) const;
    Result<QList<Row>> rows(const QString& sheetName) const;
    // The same row by row, for long sheets: no more than one row is held.
    Status forEachRow(int sheet, const RowVisitor& visit) const;

private:
    std::shared_ptr<const XlsxBookData> m_data;
};

namespace XlsxReader {

// Opens an .xlsx file and reads its sheet list, shared texts, number
// formats and date system. Refused with a message naming the file when it
// is missing or unreadable, when it is not an .xlsx workbook (an old .xls
// or an encrypted workbook included) or when it is damaged.
Result<XlsxBook> open(const QString& path);

} // namespace XlsxReader
