#include "output/BandReport.h"

#include "output/core/Cells.h"
#include "output/core/Code128.h"
#include "store/ListReader.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QSqlField>
#include <QTextLayout>

namespace {

// Arial where it is installed, else a Latin face standing in for it
// (Liberation Sans has Arial's metrics); Chinese glyphs come from the CJK
// family.
QFont reportFont(double points, double scale) {
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        QStringList f;
        for (const char* latin : {"Arial", "Liberation Sans", "DejaVu Sans"}) {
            if (installed.contains(QString::fromLatin1(latin))) {
                f << QString::fromLatin1(latin);
                break;
            }
        }
        f << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Noto Sans SC")
          << QStringLiteral("WenQuanYi Micro Hei");
        return f;
    }();
    QFont font;
    font.setFamilies(families);
    // sized in the painter's units (1/96 inch before the page scale)
    font.setPointSizeF(points / scale);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QTextOption wrapping(Qt::Alignment alignment) {
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

// Lines and height of text wrapped to width.
std::pair<int, double> wrapped(const QString& text, const QFont& font, double width,
                               QPaintDevice* device) {
    QTextLayout layout(text, font, device);
    layout.setTextOption(wrapping(Qt::AlignLeft));
    layout.beginLayout();
    int lines = 0;
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
        ++lines;
    }
    layout.endLayout();
    return {lines, height};
}

constexpr double Padding = 2;

class Painter {
public:
    explicit Painter(QPrinter& printer) : m_printer(printer) {}

    Status begin() {
        if (!m_painter.begin(&m_printer))
            return Error{QStringLiteral("不能打印：打印机或文件不能打开")};
        m_scale = m_printer.logicalDpiY() / 96.0;
        m_painter.scale(m_printer.logicalDpiX() / 96.0, m_scale);
        QPen pen(Qt::black);
        pen.setWidthF(0.75);
        m_painter.setPen(pen);
        return {};
    }
    void newPage() { m_printer.newPage(); }
    void end() { m_painter.end(); }

    QFont font(double points) const { return reportFont(points, m_scale); }
    QPainter& painter() { return m_painter; }
    QPaintDevice* device() { return &m_printer; }

    double cellHeight(const QString& text, const QFont& font, double width) {
        if (text.isEmpty())
            return BandReport::RowHeight;
        // one line always fits the 20-unit row
        const auto [lines, height] = wrapped(text, font, width - 2 * Padding, device());
        if (lines <= 1)
            return BandReport::RowHeight;
        return std::max(BandReport::RowHeight, std::ceil(height + 2));
    }

    void cell(const QRectF& box, const QString& text) {
        m_painter.drawRect(box);
        line(box, text, m_painter.font());
    }

    // Text in a box, left-aligned. One line sits with its glyphs in the
    // middle of the box: the CJK face's line box has more room above its
    // glyphs than below, so centring the line box would set Chinese text
    // low. Longer text wraps from the top.
    void line(const QRectF& box, const QString& text, const QFont& font) {
        if (text.isEmpty())
            return;
        m_painter.setFont(font);
        const QRectF inner = box.adjusted(Padding, 1, -Padding, -1);
        if (wrapped(text, font, inner.width(), device()).first <= 1) {
            const double em = font.pointSizeF() * m_scale * 96.0 / 72.0; // in 1/96 inch
            m_painter.drawText(QPointF(inner.left(), box.center().y() + 0.37 * em), text);
            return;
        }
        m_painter.drawText(inner, text, wrapping(Qt::AlignLeft | Qt::AlignTop));
    }

    void text(const QRectF& box, const QString& text, const QFont& font,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
        m_painter.setFont(font);
        m_painter.drawText(box, text, wrapping(alignment));
    }

    void barcode(const QRectF& box, const QString& value) {
        const auto symbol = Code128::encodeA(value);
        const QFont small = font(7);
        const double textHeight = 12;
        if (!symbol) {
            // no bars that a scanner would misread: the value and the reason
            text(QRectF(box.left(), box.top(), std::max(box.width(), 300.0), box.height()),
                 value + u'\n' + symbol.error() + QStringLiteral("，不能打印条码"), small,
                 Qt::AlignLeft | Qt::AlignTop);
            return;
        }
        const double module = BandReport::moduleWidth(symbol->modules);
        const double barsHeight = box.height() - textHeight;
        double x = box.left();
        for (int i = 0; i < symbol->widths.size(); ++i) {
            const double w = symbol->widths[i] * module;
            if (i % 2 == 0)
                m_painter.fillRect(QRectF(x, box.top(), w, barsHeight), Qt::black);
            x += w;
        }
        const double width = symbol->modules * module;
        text(QRectF(box.left(), box.top() + barsHeight, width, textHeight), symbol->text, small,
             Qt::AlignHCenter | Qt::AlignTop);
    }

private:
    QPrinter& m_printer;
    QPainter m_painter;
    double m_scale = 1;
};

struct Columns {
    QList<int> index; // result column of each report column, -1 when missing
    QList<Cells::Kind> kind;
};

Columns resolve(const QSqlRecord& record, Engine engine, const QStringList& fields) {
    Columns c;
    for (const QString& field : fields) {
        int at = record.indexOf(field);
        c.index << at;
        c.kind << (at >= 0 ? Cells::kindOf(record.field(at), engine) : Cells::Kind::Plain);
    }
    return c;
}

QString valueText(const QVariantList& row, const Columns& columns, int i, Engine engine) {
    if (columns.index[i] < 0)
        return {};
    return Cells::displayText(Cells::read(row.value(columns.index[i]), columns.kind[i], engine));
}

// The list is read a page at a time through the list reader, so no cursor
// stays open while the progress dialog lets the window's events through.
constexpr int PageRows = 500;

bool reportProgress(const BandReport::Progress& progress, qint64 rows) {
    return !progress || rows % 100 != 0 || progress(rows);
}

} // namespace

namespace BandReport {

bool BandFlow::breakBefore(double height) {
    if (!m_started || m_y + height <= PageHeight - Bottom || m_y <= Top)
        return false;
    ++m_page;
    m_y = Top;
    return true;
}

Place BandFlow::place(double height) {
    m_started = true;
    const Place p{m_page, m_y};
    m_y += height;
    return p;
}

QList<LabelPlace> labelLayout(LabelKind kind, int count) {
    const LabelTemplate& t = labelTemplate(kind);
    BandFlow flow;
    QList<LabelPlace> places;
    for (int i = 0; i < count; ++i) {
        flow.breakBefore(LabelHeight);
        const Place p = flow.place(LabelHeight);
        places << LabelPlace{p, QRectF(Left, p.y, t.textWidth, RowHeight),
                             QRectF(Left, p.y + RowHeight, BarcodeWidth, BarcodeHeight)};
    }
    return places;
}

double moduleWidth(int modules) {
    if (modules <= 0)
        return 2;
    return std::clamp(BarcodeWidth / modules, 0.75, 2.0);
}

void setUpPage(QPrinter& printer) {
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setFullPage(true);
}

Result<Outcome> renderList(QPrinter& printer, ReportTemplate which, const ListQuery& query,
                           const Progress& progress) {
    const ListTemplate& t = listTemplate(which);
    ListReader reader(query);
    if (auto learnt = reader.first(0); !learnt)
        return Error{learnt.error()};
    const Engine engine = reader.dialect().engine();
    QStringList fields;
    for (const ReportColumn& c : t.columns)
        fields << c.field;
    const Columns columns = resolve(reader.columns(), engine, fields);

    Painter out(printer);
    if (Status s = out.begin(); !s)
        return Error{s.error()};
    const QFont font = out.font(10);
    out.painter().setFont(font);
    const double maxRow = PageHeight - Top - Bottom - RowHeight;

    BandFlow flow;
    auto header = [&](double y) {
        double x = Left;
        for (const ReportColumn& c : t.columns) {
            out.cell(QRectF(x, y, c.width, RowHeight), c.title);
            x += c.width;
        }
    };
    Outcome outcome;
    header(flow.place(RowHeight).y);
    QStringList values;
    const Status read = reader.forEach(PageRows, [&](const ListReader::Rows& rows) {
        for (const QVariantList& row : rows) {
            values.clear();
            double height = RowHeight;
            for (int i = 0; i < t.columns.size(); ++i) {
                values << valueText(row, columns, i, engine);
                height = std::max(height, out.cellHeight(values.last(), font, t.columns[i].width));
            }
            height = std::min(height, maxRow);
            if (flow.breakBefore(height)) {
                out.newPage();
                header(flow.place(RowHeight).y);
            }
            const Place p = flow.place(height);
            double x = Left;
            for (int i = 0; i < t.columns.size(); ++i) {
                out.painter().save();
                out.painter().setClipRect(
                    QRectF(x, p.y, t.columns[i].width, height).adjusted(-1, -1, 1, 1));
                out.cell(QRectF(x, p.y, t.columns[i].width, height), values[i]);
                out.painter().restore();
                x += t.columns[i].width;
            }
            ++outcome.rows;
            if (!reportProgress(progress, outcome.rows)) {
                outcome.cancelled = true;
                return false;
            }
        }
        return true;
    });
    out.end();
    if (!read)
        return Error{read.error()};
    outcome.pages = flow.pages();
    return outcome;
}

Result<Outcome> renderLabels(QPrinter& printer, LabelKind kind, const ListQuery& query,
                             const Progress& progress) {
    const LabelTemplate& t = labelTemplate(kind);
    ListReader reader(query);
    if (auto learnt = reader.first(0); !learnt)
        return Error{learnt.error()};
    const Engine engine = reader.dialect().engine();
    const Columns columns = resolve(reader.columns(), engine, {t.textField, t.barcodeField});

    Painter out(printer);
    if (Status s = out.begin(); !s)
        return Error{s.error()};
    const QFont font = out.font(t.textPointSize);
    BandFlow flow;
    Outcome outcome;
    const Status read = reader.forEach(PageRows, [&](const ListReader::Rows& rows) {
        for (const QVariantList& row : rows) {
            if (flow.breakBefore(LabelHeight))
                out.newPage();
            const Place p = flow.place(LabelHeight);
            out.line(QRectF(Left - Padding, p.y, t.textWidth + Padding, RowHeight),
                     valueText(row, columns, 0, engine), font);
            out.barcode(QRectF(Left, p.y + RowHeight, BarcodeWidth, BarcodeHeight),
                        valueText(row, columns, 1, engine));
            ++outcome.rows;
            if (!reportProgress(progress, outcome.rows)) {
                outcome.cancelled = true;
                return false;
            }
        }
        return true;
    });
    out.end();
    if (!read)
        return Error{read.error()};
    outcome.pages = std::max(1, flow.pages());
    return outcome;
}

namespace {

template <typename Render> Result<Outcome> toPdf(const QString& path, Render render) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    setUpPage(printer);
    return render(printer);
}

} // namespace

Result<Outcome> listToPdf(const QString& path, ReportTemplate which, const ListQuery& query,
                          const Progress& progress) {
    return toPdf(path, [&](QPrinter& p) { return renderList(p, which, query, progress); });
}

Result<Outcome> labelsToPdf(const QString& path, LabelKind kind, const ListQuery& query,
                            const Progress& progress) {
    return toPdf(path, [&](QPrinter& p) { return renderLabels(p, kind, query, progress); });
}

} // namespace BandReport
