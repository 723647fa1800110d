// The counters and lists on a shop after years of use (LargeSample at the
// scale of SHOP_BENCH_SCALE, default 0.01; 1 is a million copies and ten
// million rent records), each paired in the same run with the bare
// operation on the same data: BM_X is ours, BM_BareX the floor. The SQLite
// file is made once in SHOP_BENCH_DATA (default build/bench-data) and kept
// for later runs. Counter peak_MB is the process's high-water mark.
#include "rental/core/RentalLookup.h"
#include "sales/core/SaleLookup.h"
#include "store/Connection.h"
#include "store/LargeSample.h"
#include "store/Schema.h"
#include "store/TextSearch.h"
#include "ui/DataGrid.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
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
            (void)m_db.exec(QStringLiteral("ANALYZE"));
        } else if (Status s = Schema::openOrCreate(m_db); !s) {
            qFatal("%s", qPrintable(s.error()));
        }
    }
    Db m_db;
};

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
BENCHMARK(BM_RentScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_BareRentScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_SaleScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_BareSaleScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_MemberLookup)->Unit(benchmark::kMicrosecond);

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
BENCHMARK(BM_BareMemberLookup)->Unit(benchmark::kMicrosecond);

// ---- a list window: first screen; with its footer; scrolled to the end ------

// Arg 0: the first screen painted (the footer still pending); 1: and the
// footer; 2: and a scroll to the last row.
void BM_MemberListOpen(benchmark::State& state) {
    Shop::instance();
    for (auto _ : state) {
        DataGrid grid;
        grid.setMoneyColumns({QStringLiteral("卡内金额"), QStringLiteral("会员积分")});
        grid.setFooter(QStringLiteral("会员卡号"), {QStringLiteral("卡内金额")});
        grid.resize(800, 600);
        if (Status s = grid.setQuery({QStringLiteral("select * from 会员库"), {}}); !s)
            state.SkipWithError(s.error().toUtf8().constData());
        grid.show();
        grid.repaint();
        if (state.range(0) >= 1)
            benchmark::DoNotOptimize(grid.footerCount());
        if (state.range(0) == 2) {
            grid.view()->scrollToBottom();
            grid.view()->viewport()->repaint();
        }
        state.PauseTiming();
        grid.close();
        state.ResumeTiming();
    }
    finish(state);
}
BENCHMARK(BM_MemberListOpen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_BareMemberListOpen(benchmark::State& state) {
    QSqlDatabase handle = Shop::instance().handle();
    QSqlQuery page(handle), footer(handle);
    page.setForwardOnly(true);
    footer.setForwardOnly(true);
    page.prepare(QStringLiteral("select * from 会员库 limit 200 offset ?"));
    footer.prepare(QStringLiteral("select count(*), sum(卡内金额) from 会员库"));
    const qint64 last = qMax<qint64>(0, Shop::instance().size.members - 40);
    for (auto _ : state) {
        page.bindValue(0, 0);
        page.exec();
        int n = 0;
        while (page.next())
            n += page.value(0).isValid();
        if (state.range(0) >= 1) {
            footer.exec();
            footer.next();
            benchmark::DoNotOptimize(footer.value(0));
            footer.finish();
        }
        if (state.range(0) == 2) {
            page.bindValue(0, last);
            page.exec();
            while (page.next())
                n += page.value(0).isValid();
        }
        benchmark::DoNotOptimize(n);
    }
    finish(state);
}
BENCHMARK(BM_BareMemberListOpen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// ---- record window: a month of income, first screen and footer -----------------------

// The record window's grid is there already; choosing a month re-queries it.
void BM_IncomeMonth(benchmark::State& state) {
    Shop::instance();
    const QDate month = QDate::currentDate().addMonths(-6);
    const QVariantList range{QDate(month.year(), month.month(), 1).startOfDay(),
                             QDate(month.year(), month.month(), 1).addMonths(1).startOfDay()};
    DataGrid grid;
    grid.setMoneyColumns({QStringLiteral("金额")});
    grid.setFooter(QStringLiteral("项目"), {QStringLiteral("金额")});
    for (auto _ : state) {
        if (Status s = grid.setQuery(
                {QStringLiteral("select * from 收入记录 where 日期 >= ? and 日期 < ?"), range});
            !s)
            state.SkipWithError(s.error().toUtf8().constData());
        benchmark::DoNotOptimize(grid.footerSum(QStringLiteral("金额")));
    }
    finish(state);
}
BENCHMARK(BM_IncomeMonth)->Unit(benchmark::kMillisecond);

void BM_BareIncomeMonth(benchmark::State& state) {
    QSqlQuery q(Shop::instance().handle()), page(Shop::instance().handle());
    q.setForwardOnly(true);
    page.setForwardOnly(true);
    q.prepare(
        QStringLiteral("select count(*), sum(金额) from 收入记录 where 日期 >= ? and 日期 < ?"));
    page.prepare(QStringLiteral("select * from 收入记录 where 日期 >= ? and 日期 < ? limit 200"));
    const QDate month = QDate::currentDate().addMonths(-6);
    const QDate first(month.year(), month.month(), 1);
    for (auto _ : state) {
        for (QSqlQuery* each : {&page, &q}) {
            each->bindValue(0, first.toString(QStringLiteral("yyyy-MM-dd 00:00:00")));
            each->bindValue(1, first.addMonths(1).toString(QStringLiteral("yyyy-MM-dd 00:00:00")));
        }
        page.exec();
        int n = 0;
        while (page.next())
            n += page.value(0).isValid();
        benchmark::DoNotOptimize(n);
        q.exec();
        q.next();
        benchmark::DoNotOptimize(q.value(1));
        q.finish();
    }
    finish(state);
}
BENCHMARK(BM_BareIncomeMonth)->Unit(benchmark::kMillisecond);

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
