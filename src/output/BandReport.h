#pragma once

#include "output/core/ReportTemplates.h"
#include "store/ListQuery.h"
#include "store/Result.h"

#include <QRectF>
#include <functional>

class QPrinter;

// The band renderer of the printed lists and labels. Positions and sizes
// are in 1/96 inch on an A4 portrait page; the bands are 757 wide, set in
// from the left edge so that they sit in the middle of the sheet. A list
// prints a header band of column titles at the top of every page, then
// one data band per row of the list in its order: framed cells 20 high
// that wrap their text; a row grows when a value needs more lines. Labels
// follow one another in one column, 80 high each.
namespace BandReport {

inline constexpr double PageWidth = 210.0 / 25.4 * 96; // A4, 1/96 inch
inline constexpr double PageHeight = 297.0 / 25.4 * 96;
inline constexpr double BandWidth = 757;
inline constexpr double Left = (PageWidth - BandWidth) / 2;
inline constexpr double Top = 38;    // about 10 mm
inline constexpr double Bottom = 38; // kept free at the foot of the page
inline constexpr double RowHeight = 20;
inline constexpr double LabelHeight = 80;
inline constexpr double BarcodeWidth = 123;
inline constexpr double BarcodeHeight = 44;

struct Place {
    int page = 0; // from 0
    double y = 0; // top of the band on its page
};

// Where bands go down the pages: each band below the previous one, on a
// new page when it would cross the foot of this one.
class BandFlow {
public:
    // Moves to a new page when a band of this height would cross the foot
    // of this one (never on an empty page); true when it did.
    bool breakBefore(double height);
    // The band's place, below the previous one.
    Place place(double height);
    int pages() const { return m_started ? m_page + 1 : 0; }

private:
    bool m_started = false;
    int m_page = 0;
    double m_y = Top;
};

// Label i (from 0) of a label sheet, with its text line and barcode box.
struct LabelPlace {
    Place place;
    QRectF text;    // page coordinates
    QRectF barcode; // page coordinates
};
QList<LabelPlace> labelLayout(LabelKind kind, int count);

// Width of one module of bars for a symbol of so many modules: 2 when it
// fits the 123-wide box, narrower to fit it, but never under 0.75 (0.2 mm,
// what a scanner still reads): then the bars run past the box.
double moduleWidth(int modules);

struct Outcome {
    int pages = 0;
    qint64 rows = 0;
    bool cancelled = false;
};
// Called now and then with the rows done; returning false stops.
using Progress = std::function<bool(qint64 rows)>;

// A4 portrait, the whole sheet as the painting area.
void setUpPage(QPrinter& printer);

// Paints the list or the labels on the printer (after setUpPage), reading
// the list from its first row. An empty list prints an empty page (labels)
// or one with only the header band (lists).
Result<Outcome> renderList(QPrinter& printer, ReportTemplate which, const ListQuery& query,
                           const Progress& progress = {});
Result<Outcome> renderLabels(QPrinter& printer, LabelKind kind, const ListQuery& query,
                             const Progress& progress = {});

// The same, written to a PDF file.
Result<Outcome> listToPdf(const QString& path, ReportTemplate which, const ListQuery& query,
                          const Progress& progress = {});
Result<Outcome> labelsToPdf(const QString& path, LabelKind kind, const ListQuery& query,
                            const Progress& progress = {});

} // namespace BandReport
