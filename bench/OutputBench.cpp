// Export of 100,000 and 1,000,000 copies x 16 columns from SQLite to .xlsx,
// side by side with the same rows written by the bare library, and a printed
// list of 10,000 rows to PDF beside the same text rows drawn by a bare
// QPdfWriter and QPainter. Counters: rows per second and peak memory (MB).
// Peak memory is the process's high-water mark: run one benchmark per
// process (--benchmark_filter=...) to read it for that benchmark alone.
#include "output/BandReport.h"
#include "output/core/ExcelExport.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/Schema.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

const QString Huge = QStringLiteral("bench-huge");
const QString Big = QStringLiteral("bench-big");
const QString Small = QStringLiteral("bench-small");

// Arg: rows exported, 100 000 or 1 000 000.
QString exported(const benchmark::State& state) {
    return state.range(0) >= 1000000 ? Huge : Big;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

// A rent catalogue of n copies in its own SQLite file.
void fill(const QString& name, int n) {
    const QString file = folder().path() + u'/' + name + QStringLiteral(".db");
    if (!Connection::open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + file,
                          name))
        qFatal("cannot open the benchmark database");
    Db db(name);
    if (!Schema::create(db))
        qFatal("cannot create the schema");
    // made by SQLite itself: a million rows bound one by one would take
    // longer than the export
    Status filled = db.inTransaction([&]() -> Status {
        auto done = db.exec(
            QStringLiteral(
                "insert into 出租库(条形码,商品名称,商品类型,py,定价,作者,存放位置,出版社,供应商,"
                "简介,状态,借出次数,登记日期,登记人,介质) "
                "with recursive n(i) as (select 0 union all select i + 1 from n where i < ?) "
                "select '97871' || substr(100000000 + i, 2), '红楼梦 第' || (i % 120 + 1) || '卷', "
                "'普通', 'HLM', 255000 + i, '曹雪芹', '店内', '人民文学出版社', '新华书店', "
                "'中国古典小说', case when i % 3 > 0 then '待租' else '0001' end, i % 17, "
                "date('2024-01-01', '+' || (i % 700) || ' days'), '超级管理员', '图书' from n"),
            {n - 1});
        return done ? Status{} : Status{Error{done.error()}};
    });
    if (!filled)
        qFatal("cannot fill the benchmark database: %s", qPrintable(filled.error()));
}

ListQuery catalogue(const QString& connection) {
    return {QStringLiteral("select * from 出租库"), {}, connection};
}

void BM_ExportQueryToExcel(benchmark::State& state) {
    const QString path = folder().path() + QStringLiteral("/export.xlsx");
    qint64 rows = 0;
    for (auto _ : state) {
        auto done = ExcelExport::ExportQueryToExcel(catalogue(exported(state)), path);
        if (!done)
            state.SkipWithError(qPrintable(done.error()));
        else
            rows += done->rows;
    }
    state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
    state.counters["file_MB"] = double(QFile(path).size()) / 1048576.0;
}

// The same rows through the bare library: every value as the driver gives
// it, text or number, no formats, no column widths.
void BM_BareLibxlsxwriter(benchmark::State& state) {
    const QByteArray path = (folder().path() + QStringLiteral("/bare.xlsx")).toUtf8();
    qint64 rows = 0;
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.constData(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        auto result = Db(exported(state)).select(catalogue(exported(state)).sql);
        QSqlQuery& q = result.value().query();
        const int columns = q.record().count();
        for (int c = 0; c < columns; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), q.record().fieldName(c).toUtf8(),
                                   nullptr);
        lxw_row_t row = 1;
        while (q.next()) {
            for (int c = 0; c < columns; ++c) {
                const QVariant v = q.value(c);
                if (v.isNull())
                    continue;
                if (v.typeId() == QMetaType::LongLong)
                    worksheet_write_number(sheet, row, lxw_col_t(c), v.toDouble(), nullptr);
                else
                    worksheet_write_string(sheet, row, lxw_col_t(c), v.toString().toUtf8(),
                                           nullptr);
            }
            ++row;
        }
        workbook_close(book);
        rows += row - 1;
    }
    state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_RenderListToPdf(benchmark::State& state) {
    const QString path = folder().path() + QStringLiteral("/list.pdf");
    qint64 rows = 0;
    int pages = 0;
    for (auto _ : state) {
        auto done = BandReport::listToPdf(path, ReportTemplate::RentCatalogue, catalogue(Small));
        if (!done) {
            state.SkipWithError(qPrintable(done.error()));
            break;
        }
        rows += done->rows;
        pages = done->pages;
    }
    state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = peakMegabytes();
}

// The same text rows with the bare library: A4 pages, the header row on
// each, every value in a bordered cell of the template's widths, in the
// report's font; no wrapping, no typed formats.
void BM_BarePdfWriter(benchmark::State& state) {
    const QString path = folder().path() + QStringLiteral("/bare.pdf");
    const QStringList fields = {QStringLiteral("条形码"),   QStringLiteral("商品名称"),
                                QStringLiteral("商品类型"), QStringLiteral("存放位置"),
                                QStringLiteral("定价"),     QStringLiteral("状态")};
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans CJK SC")});
    qint64 rows = 0;
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(96);
        QPainter painter(&writer);
        font.setPointSizeF(10);
        painter.setFont(font);
        auto result = Db(Small).select(catalogue(Small).sql);
        QSqlQuery& q = result.value().query();
        QList<int> at;
        for (const QString& field : fields)
            at << q.record().indexOf(field);
        const double width = 96, height = 20, top = 38, left = 40;
        const double bottom = writer.height() - 38;
        double y = top;
        pages = 1;
        auto row = [&](const QStringList& texts) {
            for (int c = 0; c < texts.size(); ++c) {
                const QRectF cell(left + c * width, y, width, height);
                painter.drawRect(cell);
                painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                                 texts[c]);
            }
            y += height;
        };
        row(fields);
        QStringList texts;
        while (q.next()) {
            if (y + height > bottom) {
                writer.newPage();
                ++pages;
                y = top;
                row(fields);
            }
            texts.clear();
            for (int c : at)
                texts << q.value(c).toString();
            row(texts);
            ++rows;
        }
        painter.end();
    }
    state.counters["rows_per_s"] = benchmark::Counter(double(rows), benchmark::Counter::kIsRate);
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = peakMegabytes();
}

} // namespace

BENCHMARK(BM_ExportQueryToExcel)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_BareLibxlsxwriter)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_RenderListToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BarePdfWriter)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fill(Huge, 1000000);
    fill(Big, 100000);
    fill(Small, 10000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
