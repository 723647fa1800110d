// Rent and return bookings of 10 lines on an SQLite file in WAL mode, side
// by side with the same statements sent through bare QSqlQuery calls.

#include "rental/core/RentBooking.h"
#include "rental/core/RentalLookup.h"
#include "rental/core/ReturnBooking.h"
#include "store/Connection.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int Copies = 20000;
constexpr int LinesPerBooking = 10;

QString barcode(int i) {
    return QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'));
}

// One database for the whole run: copies C000000... of type 普通.
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
}
BENCHMARK(BM_ReturnBooking10Lines)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
