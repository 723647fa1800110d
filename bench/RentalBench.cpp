// Rent, return and sale bookings of 10 lines on an SQLite file in WAL mode,
// side by side with the same statements sent through bare QSqlQuery calls.

#include "rental/core/RentBooking.h"
#include "rental/core/RentalLookup.h"
#include "rental/core/ReturnBooking.h"
#include "sales/core/SaleBooking.h"
#include "store/Connection.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

constexpr int Copies = 20000;

// The process's high-water mark, in MB.
double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}
constexpr int LinesPerBooking = 10;

QString barcode(int i) {
    return QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'));
}

// One database for the whole run: copies C000000... of type 普通, sale
// items C000000... (商品id 1...) with plenty in stock.
class Shop {
public:
    static Shop& instance() {
        static Shop shop;
        return shop;
    }
    const Db& db() const { return m_db; }

    // Every copy available again and no rent records, between runs.
    void reset() {
        (void)m_db.exec(QStringLiteral("delete from 出租记录"));
        (void)m_db.exec(QStringLiteral("delete from 收入记录"));
        (void)m_db.exec(QStringLiteral("update 出租库 set 状态 = '待租'"));
    }

private:
    Shop() {
        const QString cs =
            QStringLiteral("Provider=SQLite;Data Source=%1/bench.db;").arg(m_dir.path());
        if (!Connection::open(cs, Connection::Shared).ok() || !Schema::create(m_db).ok())
            qFatal("cannot create the benchmark database");
        (void)m_db.inTransaction([&]() -> Status {
            for (int i = 0; i < Copies; ++i) {
                auto done = m_db.exec(
                    QStringLiteral("insert into 出租库(条形码,商品名称,商品类型,py,状态,借出次数) "
                                   "values(?,?,'普通','SHU','待租',0)"),
                    {barcode(i), QStringLiteral("书")});
                if (!done)
                    return Error{done.error()};
                done = m_db.exec(
                    QStringLiteral("insert into 销售库(条形码,商品名称,py,商品类型,定价,库存) "
                                   "values(?,?,'SHU','普通',?,1000000000)"),
                    {barcode(i), QStringLiteral("书"), QVariant::fromValue(Money::fromInt(25))});
                if (!done)
                    return Error{done.error()};
            }
            return {};
        });
    }
    QTemporaryDir m_dir;
    Db m_db;
};

RentOrder orderFrom(int first) {
    RentOrder order;
    order.card = QStringLiteral("散客");
    order.memberName = QStringLiteral("散客");
    order.adminName = QStringLiteral("超级管理员");
    for (int i = first; i < first + LinesPerBooking; ++i)
        order.lines.append(RentLine{barcode(i), QStringLiteral("书"), QStringLiteral("SHU"),
                                    QStringLiteral("普通"), Money::fromInt(10), Money::fromInt(1)});
    return order;
}

void BM_RentBooking10Lines(benchmark::State& state) {
    Shop& shop = Shop::instance();
    shop.reset();
    int next = 0;
    for (auto _ : state) {
        if (next + LinesPerBooking > Copies) {
            state.PauseTiming();
            shop.reset();
            next = 0;
            state.ResumeTiming();
        }
        auto receipt = bookRent(shop.db(), orderFrom(next));
        if (!receipt)
            state.SkipWithError(receipt.error().toUtf8().constData());
        next += LinesPerBooking;
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_RentBooking10Lines)->Unit(benchmark::kMicrosecond);

// The same work with the bare library: one prepared statement per kind,
// relative updates, the counter raised in the transaction.
void BM_BareRent10Lines(benchmark::State& state) {
    Shop& shop = Shop::instance();
    shop.reset();
    QSqlDatabase handle = shop.db().handle();
    QSqlQuery counter(handle), copy(handle), record(handle), number(handle);
    counter.prepare(QStringLiteral("update 系统信息 set 出租单号 = COALESCE(出租单号, 0) + 1"));
    number.prepare(QStringLiteral("select 出租单号 from 系统信息 limit 1"));
    copy.prepare(QStringLiteral("update 出租库 set 状态 = ?, 借出次数 = COALESCE(借出次数, 0) + 1 "
                                "where 条形码 = ? and 状态 = '待租'"));
    record.prepare(QStringLiteral("insert into 出租记录(出租单号,条形码,商品名称,py,押金,每日租金,"
                                  "会员卡号,会员姓名,出租日期,已还,出租经手人) "
                                  "values(?,?,?,?,?,?,?,?,?,'否',?)"));
    QSqlQuery plain(handle);
    int next = 0;
    for (auto _ : state) {
        if (next + LinesPerBooking > Copies) {
            state.PauseTiming();
            shop.reset();
            next = 0;
            state.ResumeTiming();
        }
        plain.exec(QStringLiteral("BEGIN IMMEDIATE"));
        counter.exec();
        number.exec();
        number.next();
        const QString order = number.value(0).toString();
        const QString now = QStringLiteral("2024-03-10 10:00:00");
        for (int i = next; i < next + LinesPerBooking; ++i) {
            copy.bindValue(0, QStringLiteral("散客"));
            copy.bindValue(1, barcode(i));
            copy.exec();
            const QVariantList values{order,
                                      barcode(i),
                                      QStringLiteral("书"),
                                      QStringLiteral("SHU"),
                                      100000,
                                      10000,
                                      QStringLiteral("散客"),
                                      QStringLiteral("散客"),
                                      now,
                                      QStringLiteral("超级管理员")};
            for (int v = 0; v < values.size(); ++v)
                record.bindValue(v, values[v]);
            record.exec();
        }
        plain.exec(QStringLiteral("COMMIT"));
        next += LinesPerBooking;
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_BareRent10Lines)->Unit(benchmark::kMicrosecond);

// Returns 10 open rents paid in cash (income rows), renting them out again
// untimed between iterations.
void BM_ReturnBooking10Lines(benchmark::State& state) {
    Shop& shop = Shop::instance();
    shop.reset();
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (next + LinesPerBooking > Copies) {
            shop.reset();
            next = 0;
        }
        (void)bookRent(shop.db(), orderFrom(next));
        auto rents = RentalLookup::openRents(shop.db(), QStringLiteral("散客"));
        ReturnOrder order;
        order.payment = Payment::Cash;
        order.remark = QStringLiteral("正常");
        order.adminName = QStringLiteral("超级管理员");
        if (rents) {
            for (const auto& rent : rents.value())
                order.lines.append(ReturnLine{rent.id, rent.barcode, rent.name, rent.card,
                                              rent.memberName, 1, rent.dailyRent});
        }
        state.ResumeTiming();
        auto receipt = bookReturn(shop.db(), order);
        if (!receipt)
            state.SkipWithError(receipt.error().toUtf8().constData());
        next += LinesPerBooking;
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReturnBooking10Lines)->Unit(benchmark::kMicrosecond);

// The same return with the bare library: the rent records closed by key,
// the copies freed, one income row per line.
void BM_BareReturn10Lines(benchmark::State& state) {
    Shop& shop = Shop::instance();
    shop.reset();
    QSqlDatabase handle = shop.db().handle();
    QSqlQuery close(handle), free(handle), income(handle), plain(handle);
    close.prepare(QStringLiteral("update 出租记录 set 已还 = '是', 归还日期 = ?, 天数 = ?, "
                                 "实收租金 = ?, 归还经手人 = ?, 支付方式 = ?, 归还说明 = ? "
                                 "where id = ? and 已还 = '否'"));
    free.prepare(QStringLiteral("update 出租库 set 状态 = '待租' where 条形码 = ?"));
    income.prepare(QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员,"
                                  "说明) values('租金',?,?,?,?,?,?)"));
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (next + LinesPerBooking > Copies) {
            shop.reset();
            next = 0;
        }
        (void)bookRent(shop.db(), orderFrom(next));
        auto rents = RentalLookup::openRents(shop.db(), QStringLiteral("散客"));
        state.ResumeTiming();
        const QString now = QStringLiteral("2024-03-12 10:00:00");
        plain.exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (const auto& rent : rents.value()) {
            const QVariantList values{now,
                                      1,
                                      10000,
                                      QStringLiteral("超级管理员"),
                                      QStringLiteral("现金"),
                                      QStringLiteral("正常"),
                                      rent.id};
            for (int v = 0; v < values.size(); ++v)
                close.bindValue(v, values[v]);
            close.exec();
            free.bindValue(0, rent.barcode);
            free.exec();
        }
        for (const auto& rent : rents.value()) {
            const QVariantList values{10000,
                                      now,
                                      rent.card,
                                      rent.memberName,
                                      QStringLiteral("超级管理员"),
                                      QStringLiteral("正常")};
            for (int v = 0; v < values.size(); ++v)
                income.bindValue(v, values[v]);
            income.exec();
        }
        plain.exec(QStringLiteral("COMMIT"));
        next += LinesPerBooking;
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_BareReturn10Lines)->Unit(benchmark::kMicrosecond);

// Ten lines of different items paid in cash by a walk-in customer.
SaleOrder saleFrom(int first) {
    SaleOrder order;
    order.adminName = QStringLiteral("超级管理员");
    for (int i = first; i < first + LinesPerBooking; ++i)
        order.lines.append(SaleLine{barcode(i), QStringLiteral("书"), Money::fromInt(25),
                                    Money::fromInt(25), 2, Money::fromInt(1), Money::fromInt(50),
                                    i + 1});
    return order;
}

void BM_SaleBooking10Lines(benchmark::State& state) {
    Shop& shop = Shop::instance();
    int next = 0;
    for (auto _ : state) {
        auto receipt = bookSale(shop.db(), saleFrom(next));
        if (!receipt)
            state.SkipWithError(receipt.error().toUtf8().constData());
        next = (next + LinesPerBooking) % (Copies - LinesPerBooking);
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_SaleBooking10Lines)->Unit(benchmark::kMicrosecond);

// The same sale with the bare library: the order number raised and read,
// stock lowered by key, one record per line, the cash booked as income.
void BM_BareSale10Lines(benchmark::State& state) {
    QSqlDatabase handle = Shop::instance().db().handle();
    QSqlQuery counter(handle), number(handle), stock(handle), record(handle), income(handle),
        member(handle), plain(handle);
    counter.prepare(QStringLiteral("update 系统信息 set 销售单号 = COALESCE(销售单号, 0) + 1"));
    number.prepare(QStringLiteral("select 销售单号 from 系统信息 limit 1"));
    stock.prepare(QStringLiteral("update 销售库 set 库存 = COALESCE(库存, 0) + ? "
                                 "where 商品id = ? and 条形码 = ?"));
    record.prepare(QStringLiteral("insert into 销售记录(销售单号,条形码,商品名称,定价,销售单价,"
                                  "数量,折扣,合计,商品id,会员卡号,姓名,日期,支付方式,管理员) "
                                  "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    income.prepare(QStringLiteral("insert into 收入记录(项目,金额,日期,会员卡号,会员姓名,管理员) "
                                  "values(?,?,?,?,?,?)"));
    member.prepare(QStringLiteral("update 会员库 set 会员积分 = COALESCE(会员积分, 0) + ? "
                                  "where 会员卡号 = ?"));
    int next = 0;
    for (auto _ : state) {
        const QString now = QStringLiteral("2024-03-12 10:00:00");
        plain.exec(QStringLiteral("BEGIN IMMEDIATE"));
        counter.exec();
        number.exec();
        number.next();
        const QString order = number.value(0).toString();
        number.finish();
        for (int i = next; i < next + LinesPerBooking; ++i) {
            stock.bindValue(0, -2);
            stock.bindValue(1, i + 1);
            stock.bindValue(2, barcode(i));
            stock.exec();
        }
        for (int i = next; i < next + LinesPerBooking; ++i) {
            const QVariantList values{order,
                                      barcode(i),
                                      QStringLiteral("书"),
                                      250000,
                                      250000,
                                      2,
                                      10000,
                                      500000,
                                      QString::number(i + 1),
                                      QStringLiteral("散客"),
                                      QStringLiteral("散客"),
                                      now,
                                      QStringLiteral("现金支付"),
                                      QStringLiteral("超级管理员")};
            for (int v = 0; v < values.size(); ++v)
                record.bindValue(v, values[v]);
            record.exec();
        }
        const QVariantList values{QStringLiteral("商品销售"),
                                  5000000,
                                  now,
                                  QStringLiteral("散客"),
                                  QStringLiteral("散客"),
                                  QStringLiteral("超级管理员")};
        for (int v = 0; v < values.size(); ++v)
            income.bindValue(v, values[v]);
        income.exec();
        member.bindValue(0, 5000000);
        member.bindValue(1, QStringLiteral("散客"));
        member.exec();
        plain.exec(QStringLiteral("COMMIT"));
        next = (next + LinesPerBooking) % (Copies - LinesPerBooking);
    }
    state.SetItemsProcessed(state.iterations() * LinesPerBooking);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_BareSale10Lines)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
