// Export of 100,000 copies x 16 columns from SQLite to .xlsx, side by side
// with the same rows written by the bare library, and a printed list of
// 10,000 rows to PDF. Counters: rows per second and peak memory (MB). Peak
// memory is the process's high-water mark: run one benchmark per process
// (--benchmark_filter=...) to read it for that benchmark alone.
#include "output/BandReport.h"
#include "output/core/ExcelExport.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/Schema.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

const QString Big = QStringLiteral("bench-big");
const QString Small = QStringLiteral("bench-small");

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
    Status filled = db.inTransaction([&]() -> Status {
        const QString sql = QStringLiteral(
            "insert into 出租库(条形码,商品名称,商品类型,py,定价,作者,存放位置,出版社,供应商,简介,"
            "状态,借出次数,登记日期,登记人,介质) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < n; ++i) {
            auto done = db.exec(sql, {QStringLiteral("97871%1").arg(i, 8, 10, QLatin1Char('0')),
                                      QStringLiteral("红楼梦 第%1卷").arg(i % 120 + 1),
                                      QStringLiteral("普通"), QStringLiteral("HLM"),
                                      QVariant::fromValue(Money::fromUnits(255000 + i)),
                                      QStringLiteral("曹雪芹"), QStringLiteral("店内"),
                                      QStringLiteral("人民文学出版社"), QStringLiteral("新华书店"),
                                      QStringLiteral("中国古典小说"),
                                      i % 3 ? QStringLiteral("待租") : QStringLiteral("0001"),
                                      i % 17, QDate(2024, 1, 1).addDays(i % 700),
                                      QStringLiteral("超级管理员"), QStringLiteral("图书")});
            if (!done)
                return Error{done.error()};
        }
        return {};
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
        auto done = ExcelExport::ExportQueryToExcel(catalogue(Big), path);
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
        auto result = Db(Big).select(catalogue(Big).sql);
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

} // namespace

BENCHMARK(BM_ExportQueryToExcel)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BareLibxlsxwriter)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RenderListToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fill(Big, 100000);
    fill(Small, 10000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
