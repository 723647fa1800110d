// Moving a large old shop in from its Access file: the import into a new
// SQLite file beside the bare floor, mdb-export of every table to CSV and
// one transaction of prepared inserts of those rows into the same schema
// (indexes and triggers included).

#include "store/Connection.h"
#include "store/Schema.h"
#include "tools/core/LegacyImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

const QString Fixtures = QStringLiteral(SHOP_LEGACY_FIXTURES);

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The large file, unpacked once (into SHOP_BENCH_DATA when set).
QString largeFile() {
    static const QString path = [] {
        const QString folder =
            qEnvironmentVariable("SHOP_BENCH_DATA", QDir::temp().filePath("shop-bench-legacy"));
        QDir().mkpath(folder);
        const QString unpacked = QDir(folder).filePath(QStringLiteral("old-shop-large.mdb"));
        if (!QFile::exists(unpacked)) {
            QProcess gzip;
            gzip.setStandardOutputFile(unpacked + QStringLiteral(".part"));
            gzip.start(
                QStringLiteral("gzip"),
                {QStringLiteral("-dc"), Fixtures + QStringLiteral("/old-shop-large.mdb.gz")});
            if (!gzip.waitForFinished(-1) || gzip.exitCode() != 0 ||
                !QFile::rename(unpacked + QStringLiteral(".part"), unpacked))
                qFatal("cannot unpack old-shop-large.mdb.gz");
        }
        return unpacked;
    }();
    return path;
}

// A new SQLite file with the schema and first rows on the shared connection.
class FreshShop {
public:
    FreshShop() {
        const QString cs =
            QStringLiteral("Provider=SQLite;Data Source=%1/shop.db;").arg(m_dir.path());
        if (!Connection::open(cs, Connection::Shared).ok() || !Schema::create(Db()).ok())
            qFatal("cannot create the benchmark database");
    }
    ~FreshShop() { Connection::close(Connection::Shared); }

private:
    QTemporaryDir m_dir;
};

void BM_LegacyImport(benchmark::State& state) {
    const QString file = largeFile();
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshShop shop;
        state.ResumeTiming();
        auto report = LegacyImport::importInto(file, Db());
        if (!report) {
            state.SkipWithError(report.error().toUtf8().constData());
            break;
        }
        rows = 0;
        for (const LegacyTableCount& count : report.value().tables)
            rows += count.written;
    }
    state.counters["rows"] = double(rows);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_LegacyImport)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// RFC 4180 fields of mdb-export's CSV: quoted fields with doubled quotes
// and line breaks.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n') {
            row << field;
            field.clear();
            rows << row;
            row.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

void BM_FloorMdbExportAndBulkLoad(benchmark::State& state) {
    const QString file = largeFile();
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FreshShop shop;
        state.ResumeTiming();
        QSqlDatabase handle = Db().handle();
        rows = 0;
        handle.exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (const QString& table : Schema::tableNames()) {
            QProcess exporter;
            exporter.start(QStringLiteral("mdb-export"),
                           {QStringLiteral("-b"), QStringLiteral("hex"), QStringLiteral("-T"),
                            QStringLiteral("%Y-%m-%d %H:%M:%S"), file, table});
            if (!exporter.waitForFinished(-1) || exporter.exitCode() != 0) {
                state.SkipWithError("mdb-export failed (package mdbtools)");
                return;
            }
            const QList<QStringList> csv =
                parseCsv(QString::fromUtf8(exporter.readAllStandardOutput()));
            if (csv.isEmpty())
                continue;
            const QList<Schema::SchemaColumn> columns = Schema::columnsOf(table);
            QList<int> at;
            QList<ColumnType> types;
            QStringList names, marks;
            for (const Schema::SchemaColumn& column : columns) {
                const int i = int(csv.first().indexOf(column.name));
                if (i < 0)
                    continue;
                at << i;
                types << column.type;
                names << Db::quoted(column.name);
                marks << QStringLiteral("?");
            }
            handle.exec(QStringLiteral("DELETE FROM ") + Db::quoted(table));
            QSqlQuery insert(handle);
            insert.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(Db::quoted(table), names.join(u','), marks.join(u',')));
            for (qsizetype r = 1; r < csv.size(); ++r) {
                const QStringList& fields = csv.at(r);
                for (int c = 0; c < at.size(); ++c) {
                    const QString value = fields.value(at.at(c));
                    QVariant bound;
                    if (!value.isEmpty()) {
                        switch (types.at(c)) {
                        case ColumnType::Money:
                            bound = qlonglong(Money::parse(value).value_or(Money()).units());
                            break;
                        case ColumnType::Picture:
                            bound = QByteArray::fromHex(value.toLatin1());
                            break;
                        case ColumnType::Date:
                            bound = value.left(10);
                            break;
                        default:
                            bound = value;
                        }
                    }
                    insert.bindValue(c, bound);
                }
                if (!insert.exec()) {
                    state.SkipWithError(insert.lastError().text().toUtf8().constData());
                    return;
                }
                ++rows;
            }
        }
        handle.exec(QStringLiteral("COMMIT"));
    }
    state.counters["rows"] = double(rows);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_FloorMdbExportAndBulkLoad)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
