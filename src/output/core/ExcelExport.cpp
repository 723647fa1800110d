#include "output/core/ExcelExport.h"

#include "output/core/Cells.h"
#include "store/ListReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlField>
#include <xlsxwriter.h>

namespace {

constexpr lxw_row_t RowsPerSheet = LXW_ROW_MAX; // header included
constexpr int MaxCellText = 32767;              // characters a cell can hold
constexpr double MaxColumnWidth = 80;
constexpr int PageRows = 1000; // rows read by one statement

// Width of a text in spreadsheet character units: wide (CJK) characters
// count twice.
double textWidth(const QString& text) {
    double width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2E80 ? 2 : 1;
    return width;
}

struct Sheet {
    lxw_worksheet* worksheet = nullptr;
    lxw_row_t row = 0;
};

class Writer {
public:
    Writer(const QString& path) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        m_workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
        if (m_workbook) {
            m_date = workbook_add_format(m_workbook);
            format_set_num_format(m_date, "yyyy-mm-dd");
            m_dateTime = workbook_add_format(m_workbook);
            format_set_num_format(m_dateTime, "yyyy-mm-dd hh:mm:ss");
        }
    }
    ~Writer() {
        if (m_workbook)
            (void)close();
    }

    bool valid() const { return m_workbook != nullptr; }

    Status start(const QSqlRecord& record, Engine engine) {
        for (int i = 0; i < record.count(); ++i) {
            m_names << record.fieldName(i);
            m_kinds << Cells::kindOf(record.field(i), engine);
            m_widths << textWidth(record.fieldName(i));
        }
        m_engine = engine;
        return newSheet();
    }

    Status writeRow(const QVariantList& row) {
        if (m_sheet.row >= RowsPerSheet) {
            if (Status s = newSheet(); !s)
                return s;
        }
        for (int c = 0; c < m_names.size(); ++c) {
            const Cells::Value v = Cells::read(row.value(c), m_kinds[c], m_engine);
            if (Status s = writeCell(lxw_col_t(c), v); !s)
                return s;
        }
        ++m_sheet.row;
        return {};
    }

    Status close() {
        if (!m_workbook)
            return {};
        for (lxw_worksheet* sheet : std::as_const(m_sheets)) {
            for (int c = 0; c < m_widths.size(); ++c)
                worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c),
                                     std::min(m_widths[c] + 2, MaxColumnWidth), nullptr);
        }
        const lxw_error error = workbook_close(m_workbook);
        m_workbook = nullptr;
        return check(error);
    }

private:
    static Status check(lxw_error error) {
        if (error == LXW_NO_ERROR)
            return {};
        return Error{QStringLiteral("写入Excel文件失败：") +
                     QString::fromUtf8(lxw_strerror(error))};
    }

    Status newSheet() {
        const QByteArray name = QStringLiteral("Sheet%1").arg(m_sheets.size() + 1).toUtf8();
        lxw_worksheet* sheet = workbook_add_worksheet(m_workbook, name.constData());
        if (!sheet)
            return Error{QStringLiteral("写入Excel文件失败：不能添加工作表")};
        m_sheets << sheet;
        m_sheet = Sheet{sheet, 0};
        for (int c = 0; c < m_names.size(); ++c) {
            if (Status s = check(worksheet_write_string(sheet, 0, lxw_col_t(c),
                                                        m_names[c].toUtf8().constData(), nullptr));
                !s)
                return s;
        }
        m_sheet.row = 1;
        return {};
    }

    Status writeCell(lxw_col_t col, const Cells::Value& v) {
        lxw_worksheet* ws = m_sheet.worksheet;
        const lxw_row_t row = m_sheet.row;
        double width = 0;
        lxw_error error = LXW_NO_ERROR;
        switch (v.type) {
        case Cells::Value::Empty:
            return {};
        case Cells::Value::Text: {
            const QString text = v.text.size() > MaxCellText ? v.text.left(MaxCellText) : v.text;
            width = textWidth(text);
            error = worksheet_write_string(ws, row, col, text.toUtf8().constData(), nullptr);
            break;
        }
        case Cells::Value::Number:
            width = Cells::displayText(v).size();
            error = worksheet_write_number(ws, row, col, v.number, nullptr);
            break;
        case Cells::Value::Amount:
            width = v.amount.toString().size();
            error = worksheet_write_number(ws, row, col, v.amount.toDouble(), nullptr);
            break;
        case Cells::Value::Date:
        case Cells::Value::DateTime: {
            const bool day = v.type == Cells::Value::Date;
            const QDate& d = v.day;
            const QTime& t = v.time;
            lxw_datetime when{d.year(),
                              d.month(),
                              d.day(),
                              day ? 0 : t.hour(),
                              day ? 0 : t.minute(),
                              day ? 0.0 : double(t.second())};
            width = day ? 10 : 19;
            error = worksheet_write_datetime(ws, row, col, &when, day ? m_date : m_dateTime);
            break;
        }
        case Cells::Value::Boolean:
            width = 5;
            error = worksheet_write_boolean(ws, row, col, v.yes ? 1 : 0, nullptr);
            break;
        }
        if (width > m_widths[col])
            m_widths[col] = width;
        return check(error);
    }

    lxw_workbook* m_workbook = nullptr;
    lxw_format* m_date = nullptr;
    lxw_format* m_dateTime = nullptr;
    QList<lxw_worksheet*> m_sheets;
    Sheet m_sheet;
    QStringList m_names;
    QList<Cells::Kind> m_kinds;
    QList<double> m_widths;
    Engine m_engine = Engine::Sqlite;
};

} // namespace

namespace ExcelExport {

Result<qint64> countRows(const ListQuery& query) {
    return ListReader(query).count();
}

Result<Outcome> ExportQueryToExcel(const ListQuery& query, const QString& path,
                                   const Progress& progress) {
    // read through the list reader a page at a time: no cursor stays open
    // while the progress dialog lets the window's events through
    ListReader reader(query);
    if (auto learnt = reader.first(0); !learnt)
        return Error{learnt.error()};
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    Outcome outcome;
    {
        Writer writer(partial);
        if (!writer.valid())
            return Error{QStringLiteral("不能创建Excel文件：") + path};
        if (Status s = writer.start(reader.columns(), reader.dialect().engine()); !s)
            return Error{s.error()};
        Status written;
        const Status read = reader.forEach(PageRows, [&](const ListReader::Rows& rows) {
            for (const QVariantList& row : rows) {
                if (written = writer.writeRow(row); !written)
                    return false;
                ++outcome.rows;
                if (progress && outcome.rows % 256 == 0 && !progress(outcome.rows)) {
                    outcome.cancelled = true;
                    return false;
                }
            }
            return true;
        });
        if (!written || !read) {
            (void)writer.close();
            QFile::remove(partial);
            return Error{!written ? written.error() : read.error()};
        }
        Status closed = writer.close();
        if (!closed || outcome.cancelled) {
            QFile::remove(partial);
            if (!closed)
                return Error{closed.error() + QStringLiteral("（") + path + QStringLiteral("）")};
            return outcome;
        }
    }
    if (progress)
        (void)progress(outcome.rows);
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        QFile::remove(partial);
        return Error{QStringLiteral("文件已存在且不能覆盖：") + path};
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        return Error{QStringLiteral("不能保存Excel文件：") + path};
    }
    return outcome;
}

} // namespace ExcelExport
