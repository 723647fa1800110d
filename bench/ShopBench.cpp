// The counters and lists on a shop after years of use (LargeSample at the
// scale of SHOP_BENCH_SCALE, default 0.01; 1 is a million copies and ten
// million rent records), each paired in the same run with the bare
// operation on the same data: BM_X is ours, BM_BareX the floor. The SQLite
// file is made once in SHOP_BENCH_DATA (default build/bench-data) and kept
// for later runs. Counter peak_MB is the process's high-water mark.
#include "finance/core/RecordQueries.h"
#include "finance/core/StockTaking.h"
#include "rental/core/RentalLookup.h"
#include "sales/core/SaleLookup.h"
#include "store/Connection.h"
#include "shop-admin/core/LargeSample.h"
#include "store/Schema.h"
#include "store/TextSearch.h"
#include "ui/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double scale() {
    const double s = qEnvironmentVariable("SHOP_BENCH_SCALE", QStringLiteral("0.01")).toDouble();
    return s > 0 ? s : 0.01;
}

// The shop's database, made on first use.
class Shop {
public:
    static Shop& instance() {
        static Shop shop;
        return shop;
    }
    const Db& db() const { return m_db; }
    QSqlDatabase handle() const { return m_db.handle(); }
    LargeSample::Sizes size = LargeSample::sizesAt(scale());

private:
    Shop() {
        const QString folder =
            qEnvironmentVariable("SHOP_BENCH_DATA", QStringLiteral("bench-data"));
        QDir().mkpath(folder);
        const QString file =
            QDir(folder).absoluteFilePath(QStringLiteral("shop-%1.db").arg(scale()));
        const bool fresh = !QFileInfo::exists(file);
        if (!Connection::open(QStringLiteral("Provider=SQLite;Data Source=") + file).ok())
            qFatal("cannot open the benchmark database");
        if (fresh) {
            fprintf(stderr, "making the benchmark shop at scale %g in %s\n", scale(),
                    qPrintable(file));
            if (Status s = Schema::create(m_db); !s)
                qFatal("%s", qPrintable(s.error()));
            if (Status s = LargeSample::fill(m_db, scale(),
                                             [](const QString& table, qint64 rows) {
                                                 fprintf(stderr, "  %s %lld\n", qPrintable(table),
                                                         rows);
                                             });
                !s)
                qFatal("%s", qPrintable(s.error()));
        } else if (Status s = Schema::openOrCreate(m_db); !s) {
            qFatal("%s", qPrintable(s.error()));
        }
        // the planner's statistics, once (also for a shop made by shop-admin)
        if (!m_db.hasTable(QStringLiteral("sqlite_stat1")))
            (void)m_db.exec(QStringLiteral("ANALYZE"));
    }
    Db m_db;
};

// Each benchmark but the list windows' (whose iterations wait untimed for
// their footer) warms up for half a second first: the file's pages may have
// left the page cache, and ours and the bare one should find them alike.
void finish(benchmark::State& state) {
    state.counters["peak_MB"] = peakMegabytes();
}

// ---- scan-to-line at the rent counter --------------------------------------

QString rentFragment(benchmark::State& state, qint64 i) {
    const qint64 copies = Shop::instance().size.copies;
    const QString barcode = LargeSample::copyBarcode((i * 7919) % copies);
    // a whole barcode, or its last three digits
    return state.range(0) == 0 ? barcode : barcode.right(3);
}

void BM_RentScan(benchmark::State& state) {
    const Db& db = Shop::instance().db();
    qint64 i = 0;
    for (auto _ : state) {
        auto copies = RentalLookup::availableCopies(db, rentFragment(state, i++), 50);
        if (!copies)
            state.SkipWithError(copies.error().toUtf8().constData());
        benchmark::DoNotOptimize(copies);
    }
    finish(state);
}
BENCHMARK(BM_RentScan)->Arg(0)->Arg(1)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

// The floor: the trigram table joined to the copies by one prepared statement.
void BM_BareRentScan(benchmark::State& state) {
    QSqlQuery q(Shop::instance().handle());
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("select t.* from 出租库_查找 f cross join 出租库 t on t.rowid = f.rowid "
                       "where f.条形码 like ? and t.状态 = '待租' order by t.条形码 limit 51"));
    qint64 i = 0;
    for (auto _ : state) {
        q.bindValue(0, QString(u'%' + rentFragment(state, i++) + u'%'));
        q.exec();
        int rows = 0;
        while (q.next())
            rows += q.value(0).isValid();
        benchmark::DoNotOptimize(rows);
    }
    finish(state);
}
BENCHMARK(BM_BareRentScan)->Arg(0)->Arg(1)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

// ---- scan-to-line at the sale counter ---------------------------------------

QString saleFragment(benchmark::State& state, qint64 i) {
    const QString barcode = LargeSample::itemBarcode((i * 7919) % Shop::instance().size.saleItems);
    return state.range(0) == 0 ? barcode : barcode.right(3);
}

void BM_SaleScan(benchmark::State& state) {
    const Db& db = Shop::instance().db();
    qint64 i = 0;
    for (auto _ : state) {
        // the probe of the sale counter: one match or several
        auto rows = SaleLookup::itemsInStock(db, saleFragment(state, i++), 2);
        benchmark::DoNotOptimize(rows);
    }
    finish(state);
}
BENCHMARK(BM_SaleScan)->Arg(0)->Arg(1)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

void BM_BareSaleScan(benchmark::State& state) {
    QSqlQuery q(Shop::instance().handle());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("select t.商品id from 销售库_查找 f cross join 销售库 t on "
                             "t.rowid = f.rowid where f.条形码 like ? and t.库存 > 0 "
                             "order by t.商品id limit 2"));
    qint64 i = 0;
    for (auto _ : state) {
        q.bindValue(0, QString(u'%' + saleFragment(state, i++) + u'%'));
        q.exec();
        int n = 0;
        while (q.next())
            ++n;
        benchmark::DoNotOptimize(n);
    }
    finish(state);
}
BENCHMARK(BM_BareSaleScan)->Arg(0)->Arg(1)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

// ---- member card lookup: member, type, open rents ---------------------------

QString card(qint64 i) {
    return LargeSample::memberCard((i * 104729) % Shop::instance().size.members);
}

void BM_MemberLookup(benchmark::State& state) {
    const Db& db = Shop::instance().db();
    qint64 i = 0;
    for (auto _ : state) {
        const QString c = card(i++);
        auto member = MemberLookup::member(db, c);
        if (!member || !member.value()) {
            state.SkipWithError("member not found");
            break;
        }
        auto type = MemberLookup::memberType(db, member.value()->type);
        auto open = RentalLookup::openRents(db, c);
        benchmark::DoNotOptimize(type);
        benchmark::DoNotOptimize(open);
    }
    finish(state);
}
BENCHMARK(BM_MemberLookup)->MinWarmUpTime(0.5)->Unit(benchmark::kMicrosecond);

void BM_BareMemberLookup(benchmark::State& state) {
    QSqlDatabase handle = Shop::instance().handle();
    QSqlQuery member(handle), type(handle), open(handle);
    for (QSqlQuery* q : {&member, &type, &open})
        q->setForwardOnly(true);
    member.prepare(QStringLiteral("select * from 会员库 where 会员卡号 = ?"));
    type.prepare(QStringLiteral("select * from 会员类型 where 名称 = ?"));
    open.prepare(QStringLiteral("select * from 出租记录 where 已还 = '否' and 会员卡号 = ?"));
    qint64 i = 0;
    for (auto _ : state) {
        const QString c = card(i++);
        member.bindValue(0, c);
        member.exec();
        member.next();
        type.bindValue(0, member.value(QStringLiteral("会员类型")));
        type.exec();
        type.next();
        open.bindValue(0, c);
        open.exec();
        int n = 0;
        while (open.next())
            ++n;
        benchmark::DoNotOptimize(n);
        member.finish();
        type.finish();
    }
    finish(state);
}
BENCHMARK(BM_BareMemberLookup)->MinWarmUpTime(0.5)->Unit(benchmark::kMicrosecond);

// ---- the list windows: first screen; with its footer; scrolled to the end ----

// Each list window's table, money columns and footer, as the window sets
// its grid up.
struct ListCase {
    QString table;
    QStringList money;
    QString countColumn;
    QStringList sums;
};
const ListCase& listCase(qint64 n) {
    static const ListCase lists[] = {
        {QStringLiteral("会员库"),
         {QStringLiteral("卡内金额"), QStringLiteral("会员积分")},
         QStringLiteral("会员卡号"),
         {QStringLiteral("卡内金额")}},
        {QStringLiteral("出租库"), {QStringLiteral("定价")}, QStringLiteral("条形码"), {}},
        {QStringLiteral("销售库"),
         {QStringLiteral("定价")},
         QStringLiteral("条形码"),
         {QStringLiteral("库存")}},
        {QStringLiteral("出租记录"), recordQueryConfig(RecordKind::Rent).money,
         recordQueryConfig(RecordKind::Rent).countColumn,
         recordQueryConfig(RecordKind::Rent).sumColumns},
    };
    return lists[n];
}

// Args: the list (0 members, 1 rent catalogue, 2 sale catalogue, 3 rent
// records); 0: the first screen painted (the footer still pending); 1: and
// the footer; 2: and a scroll to the last row.
void BM_ListOpen(benchmark::State& state) {
    Shop::instance();
    const ListCase& list = listCase(state.range(0));
    for (auto _ : state) {
        auto grid = std::make_unique<DataGrid>();
        grid->setMoneyColumns(list.money);
        grid->setFooter(list.countColumn, list.sums);
        grid->resize(800, 600);
        if (Status s = grid->setQuery({QStringLiteral("select * from ") + list.table, {}}); !s)
            state.SkipWithError(s.error().toUtf8().constData());
        grid->show();
        grid->repaint();
        if (state.range(1) >= 1)
            benchmark::DoNotOptimize(grid->footerCount());
        if (state.range(1) == 2) {
            grid->view()->scrollToBottom();
            grid->view()->viewport()->repaint();
        }
        // untimed: the footer's worker finishes (a window closed at once
        // waits for it) before the next window opens
        state.PauseTiming();
        benchmark::DoNotOptimize(grid->footerCount());
        grid.reset();
        state.ResumeTiming();
    }
    finish(state);
}

// The floor: a page of rows, the footer's aggregate, the last page by key.
void BM_BareListOpen(benchmark::State& state) {
    const ListCase& list = listCase(state.range(0));
    QSqlDatabase handle = Shop::instance().handle();
    QSqlQuery page(handle), footer(handle), last(handle);
    for (QSqlQuery* q : {&page, &footer, &last})
        q->setForwardOnly(true);
    QStringList figures{QStringLiteral("count(%1)").arg(list.countColumn)};
    for (const QString& column : list.sums)
        figures << QStringLiteral("sum(%1)").arg(column);
    page.prepare(QStringLiteral("select * from %1 limit 200").arg(list.table));
    footer.prepare(QStringLiteral("select %1 from %2").arg(figures.join(u','), list.table));
    last.prepare(QStringLiteral("select * from %1 order by rowid desc limit 200").arg(list.table));
    for (auto _ : state) {
        int n = 0;
        page.exec();
        while (page.next())
            n += page.value(0).isValid();
        if (state.range(1) >= 1) {
            footer.exec();
            footer.next();
            benchmark::DoNotOptimize(footer.value(0));
            footer.finish();
        }
        if (state.range(1) == 2) {
            last.exec();
            while (last.next())
                n += last.value(0).isValid();
        }
        benchmark::DoNotOptimize(n);
    }
    finish(state);
}

void listArgs(benchmark::internal::Benchmark* b) {
    for (int list = 0; list < 4; ++list)
        for (int mode = 0; mode < 3; ++mode)
            b->Args({list, mode});
}
// a fixed count: each iteration also waits, untimed, for its footer
BENCHMARK(BM_ListOpen)->Apply(listArgs)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareListOpen)->Apply(listArgs)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

// ---- record windows: a month or a year, first screen and footer ------------

// Args: the records (0 income, 1 rent records); 0: a month, 1: a year. The
// window's own search statement (the rent records' always asks for 已还).
ListQuery periodQuery(benchmark::State& state) {
    const RecordKind kind = state.range(0) == 0 ? RecordKind::Income : RecordKind::Rent;
    const RecordQueryConfig& config = recordQueryConfig(kind);
    const QDate month = QDate::currentDate().addMonths(-6);
    const QDate first(month.year(), month.month(), 1);
    RecordFilter filter;
    filter.texts = QStringList(config.texts.size(), QString());
    for (qsizetype i = 0; i < config.dates.size(); ++i)
        filter.dates << std::optional<DateRange>();
    filter.dates[0] =
        DateRange{first, state.range(1) == 0 ? first.addMonths(1) : first.addYears(1)};
    filter.returned = QStringLiteral("是");
    auto query = RecordQueries::searchQuery(kind, filter, Connection::Shared);
    if (!query || !query.value())
        qFatal("no record search");
    return *query.value();
}

void BM_RecordPeriod(benchmark::State& state) {
    Shop::instance();
    const RecordQueryConfig& config =
        recordQueryConfig(state.range(0) == 0 ? RecordKind::Income : RecordKind::Rent);
    const ListQuery query = periodQuery(state);
    // the record window's grid is there already; the search re-queries it
    DataGrid grid;
    grid.setMoneyColumns(config.money);
    grid.setFooter(config.countColumn, config.sumColumns);
    for (auto _ : state) {
        if (Status s = grid.setQuery(query); !s)
            state.SkipWithError(s.error().toUtf8().constData());
        benchmark::DoNotOptimize(grid.footerSum(config.sumColumns.first()));
    }
    finish(state);
}

// The floor: the same condition, a page of rows and the footer's aggregate.
void BM_BareRecordPeriod(benchmark::State& state) {
    const RecordQueryConfig& config =
        recordQueryConfig(state.range(0) == 0 ? RecordKind::Income : RecordKind::Rent);
    const ListQuery query = periodQuery(state);
    const QString where = query.sql.mid(query.sql.indexOf(QStringLiteral(" where ")));
    QStringList figures{QStringLiteral("count(%1)").arg(config.countColumn)};
    for (const QString& column : config.sumColumns)
        figures << QStringLiteral("sum(%1)").arg(column);
    QSqlQuery page(Shop::instance().handle()), footer(Shop::instance().handle());
    page.setForwardOnly(true);
    footer.setForwardOnly(true);
    page.prepare(query.sql + QStringLiteral(" limit 200"));
    footer.prepare(QStringLiteral("select %1 from %2%3")
                       .arg(figures.join(u','), Db::quoted(config.table), where));
    const Dialect& dialect = Shop::instance().db().dialect();
    for (auto _ : state) {
        for (QSqlQuery* each : {&page, &footer}) {
            for (qsizetype v = 0; v < query.params.size(); ++v)
                each->bindValue(int(v), dialect.encode(query.params[v]));
        }
        page.exec();
        int n = 0;
        while (page.next())
            n += page.value(0).isValid();
        benchmark::DoNotOptimize(n);
        footer.exec();
        footer.next();
        benchmark::DoNotOptimize(footer.value(1));
        footer.finish();
    }
    finish(state);
}

void periodArgs(benchmark::internal::Benchmark* b) {
    for (int records = 0; records < 2; ++records)
        for (int period = 0; period < 2; ++period)
            b->Args({records, period});
}
BENCHMARK(BM_RecordPeriod)->Apply(periodArgs)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareRecordPeriod)
    ->Apply(periodArgs)
    ->MinWarmUpTime(0.5)
    ->Unit(benchmark::kMillisecond);

// ---- the stocktaking summary: what is in stock, and a month's figures ------

QPair<QDate, QDate> stockMonth() {
    const QDate month = QDate::currentDate().addMonths(-6);
    const QDate first(month.year(), month.month(), 1);
    return {first, first.addMonths(1)};
}

void BM_StockTaking(benchmark::State& state) {
    const Db& db = Shop::instance().db();
    const auto [from, to] = stockMonth();
    for (auto _ : state) {
        auto stock = StockTaking::stockFigures(db);
        auto period = StockTaking::periodFigures(db, from, to);
        if (!stock || !period)
            state.SkipWithError("stocktaking failed");
        benchmark::DoNotOptimize(stock);
        benchmark::DoNotOptimize(period);
    }
    finish(state);
}

// The floor: the same statements, each prepared once.
void BM_BareStockTaking(benchmark::State& state) {
    QSqlDatabase handle = Shop::instance().handle();
    const char* const stock[] = {"select count(商品id), sum(库存), sum(库存*定价) from 销售库",
                                 "select count(条形码), sum(定价) from 出租库",
                                 "select sum(押金) from 出租记录 where 已还 = '否'"};
    const char* const period[][3] = {
        {"count(id)", "收入记录", "日期"},         {"sum(金额)", "收入记录", "日期"},
        {"count(id)", "支出记录", "日期"},         {"sum(金额)", "支出记录", "日期"},
        {"count(id)", "出租记录", "出租日期"},     {"sum(实收租金)", "出租记录", "出租日期"},
        {"count(id)", "销售记录", "日期"},         {"sum(数量)", "销售记录", "日期"},
        {"sum(合计)", "销售记录", "日期"},         {"count(id)", "进货记录", "进货日期"},
        {"sum(进货数量)", "进货记录", "进货日期"}, {"sum(总金额)", "进货记录", "进货日期"},
        {"count(id)", "退货记录", "日期"},         {"sum(数量)", "退货记录", "日期"},
        {"sum(退还金额)", "退货记录", "日期"}};
    std::vector<std::unique_ptr<QSqlQuery>> stockQueries, periodQueries;
    for (const char* sql : stock) {
        stockQueries.push_back(std::make_unique<QSqlQuery>(handle));
        stockQueries.back()->setForwardOnly(true);
        stockQueries.back()->prepare(QString::fromUtf8(sql));
    }
    for (const auto& p : period) {
        periodQueries.push_back(std::make_unique<QSqlQuery>(handle));
        periodQueries.back()->setForwardOnly(true);
        periodQueries.back()->prepare(
            QStringLiteral("select %1 from %2 where %3 >= ? and %3 <= ?")
                .arg(QString::fromUtf8(p[0]), QString::fromUtf8(p[1]), QString::fromUtf8(p[2])));
    }
    const auto [from, to] = stockMonth();
    const QString fromText = from.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    const QString toText = to.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
    for (auto _ : state) {
        qint64 total = 0;
        for (auto& q : stockQueries) {
            if (!q->exec() || !q->next())
                qFatal("%s: %s", qPrintable(q->lastQuery()), qPrintable(q->lastError().text()));
            total += q->value(0).toLongLong();
            q->finish();
        }
        for (auto& q : periodQueries) {
            q->bindValue(0, fromText);
            q->bindValue(1, toText);
            if (!q->exec() || !q->next())
                qFatal("%s: %s", qPrintable(q->lastQuery()), qPrintable(q->lastError().text()));
            total += q->value(0).toLongLong();
            q->finish();
        }
        benchmark::DoNotOptimize(total);
    }
    finish(state);
}
BENCHMARK(BM_StockTaking)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareStockTaking)->MinWarmUpTime(0.5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Connection::close();
    return 0;
}
