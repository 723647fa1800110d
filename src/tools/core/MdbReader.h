#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <variant>

// An Access file (.mdb, Jet 3 or Jet 4) read with libmdb, values taken as
// the file stores them: a Currency as its 64-bit count of ten-thousandths,
// a Date/Time as its double, text decoded from its own bytes (Jet 4 UTF-16
// with its compressed form, Jet 3 GBK), memos and OLE values followed over
// their long-value pages whatever their length, and no value told from an
// empty text by the row's null mask. libmdb's own conversions lose some of
// these (characters outside the basic plane, dates before 1899-12-30,
// values longer than its bind buffer), so only its page and row reading is
// used.

// A Currency value: ten-thousandths.
struct MdbCurrency {
    qint64 units = 0;
};
// A Date/Time value: days since 1899-12-30; the whole part (towards zero)
// is the day, the absolute value of the fraction the time of day.
struct MdbDateTime {
    double days = 0;
};
// A Decimal (Numeric) value as its exact decimal text.
struct MdbDecimal {
    QString text;
};

// No value, Yes/No, Byte/Integer/Long Integer, Single/Double, Currency,
// Date/Time, Decimal, Text/Memo, OLE Object/Binary.
using MdbValue = std::variant<std::monostate, bool, qint64, double, MdbCurrency, MdbDateTime,
                              MdbDecimal, QString, QByteArray>;

enum class MdbType { YesNo, Integer, Real, Currency, DateTime, Decimal, Text, Memo, Binary, Other };

struct MdbColumnInfo {
    QString name;
    MdbType type = MdbType::Other;
    int accessType = 0; // libmdb's MDB_* type code
    int length = 0;     // characters of a Text column
    bool autoNumber = false;
    // "Text(50)", "Long Integer", "Currency", ... as Access names the type
    QString accessName() const;
};

struct MdbHandleOwner;

// One table of an open file, read from its first row. The file must stay
// open while a table is read, and only one table of a file is read at a
// time (libmdb keeps one current page per file).
class MdbTableReader {
public:
    ~MdbTableReader();
    MdbTableReader(const MdbTableReader&) = delete;
    MdbTableReader& operator=(const MdbTableReader&) = delete;

    const QString& name() const { return m_name; }
    const QList<MdbColumnInfo>& columns() const { return m_columns; }
    // The live rows the table's definition counts (deleted rows not).
    qint64 rowCount() const;

    // The next live row's values in column order: true when there is one,
    // false at the end; an error for a row that cannot be read (its row
    // number is still counted, and reading goes on with the next).
    Result<bool> next(QList<MdbValue>& values);
    // Position (from 1) of the last row given by next among the live rows.
    qint64 rowNumber() const { return m_rowNumber; }

private:
    friend class MdbReader;
    MdbTableReader(std::shared_ptr<MdbHandleOwner> file, void* table, QString name);
    Result<MdbValue> valueOf(int column, const void* field);
    Result<QByteArray> longValue(const unsigned char* header, int size);
    Result<bool> readRow(int rowStart, size_t rowSize, QList<MdbValue>& values);
    QString text(const unsigned char* bytes, int size) const;

    std::shared_ptr<MdbHandleOwner> m_file;
    void* m_table; // MdbTableDef*
    QString m_name;
    QList<MdbColumnInfo> m_columns;
    bool m_onPage = false;
    int m_rowsOnPage = 0;
    int m_nextRow = 0;
    qint64 m_rowNumber = 0;
};

class MdbReader {
public:
    // Opens a file for reading; refused with a message for a file that is
    // missing or not an Access file.
    static Result<std::unique_ptr<MdbReader>> open(const QString& path);
    ~MdbReader();
    MdbReader(const MdbReader&) = delete;
    MdbReader& operator=(const MdbReader&) = delete;

    // "Microsoft Access 2000 (Jet 4)", "Microsoft Access 97 (Jet 3)", ...
    QString format() const;
    bool isJet3() const;
    // The user tables, in the file's catalogue order.
    QStringList tables() const;
    Result<std::unique_ptr<MdbTableReader>> table(const QString& name);

private:
    explicit MdbReader(std::shared_ptr<MdbHandleOwner> handle) : m_handle(std::move(handle)) {}
    std::shared_ptr<MdbHandleOwner> m_handle;
};
