#include "rental/core/RentBooking.h"
#include "RentalFixture.h"
#include "rental/core/RentalLookup.h"
#include "store/Connection.h"
#include "store/OrderNumbers.h"

#include <atomic>
#include <latch>
#include <thread>

namespace {

RentLine line(const QString& barcode, const QString& name, const char* deposit,
              const char* dailyRent) {
    return RentLine{barcode,    name,        QStringLiteral("PY") + barcode, QStringLiteral("普通"),
                    m(deposit), m(dailyRent)};
}

RentOrder walkInOrder(QList<RentLine> lines) {
    return RentOrder{std::move(lines), QStringLiteral("散客"), QStringLiteral("散客"),
                     RentPricing::DepositMode::Take, QStringLiteral("超级管理员")};
}

} // namespace

class RentBookingTest : public RentalTest {
protected:
    // Everything a rent may change, as one text, to prove nothing changed.
    QString snapshot() {
        QString s;
        auto copies =
            db.select(QStringLiteral("select 条形码, 状态, 借出次数 from 出租库 order by 条形码"));
        EXPECT_TRUE(copies.ok());
        while (copies.ok() && copies.value().next())
            s += copies.value().text(QStringLiteral("条形码")) + u'|' +
                 copies.value().text(QStringLiteral("状态")) + u'|' +
                 copies.value().text(QStringLiteral("借出次数")) + u';';
        s += QString::number(count(QStringLiteral("出租记录"))) + u';';
        s += text(QStringLiteral("select 出租单号 from 系统信息"));
        return s;
    }
};
SHOP_ON_BOTH_ENGINES(RentBookingTest);

TEST_P(RentBookingTest, WalkInRentWritesWalkInIntoTheThreePlacesAndEveryColumn) {
    addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"));
    addCopy(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("普通"),
            QStringLiteral("待租"), QVariant()); // never counted: NULL
    auto receipt = bookRent(
        db, walkInOrder({line(QStringLiteral("B001"), QStringLiteral("红楼梦"), "5", "1"),
                         line(QStringLiteral("B002"), QStringLiteral("水浒传"), "2.5", "0.3")}));
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->orderNumber, 1);
    EXPECT_EQ(receipt->lineCount, 2);
    EXPECT_EQ(text(QStringLiteral("select 出租单号 from 系统信息")), QStringLiteral("1"));

    for (const char* barcode : {"B001", "B002"}) {
        EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库 where 条形码 = ?"),
                       {QString::fromLatin1(barcode)}),
                  QStringLiteral("散客"));
        EXPECT_EQ(integer(QStringLiteral("select 借出次数 from 出租库 where 条形码 = ?"),
                          {QString::fromLatin1(barcode)}),
                  1);
    }
    auto rows = db.select(QStringLiteral("select * from 出租记录 order by 条形码"));
    ASSERT_TRUE(rows.ok());
    Rows& r = rows.value();
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("出租单号")), QStringLiteral("1"));
    EXPECT_EQ(r.text(QStringLiteral("条形码")), QStringLiteral("B001"));
    EXPECT_EQ(r.text(QStringLiteral("商品名称")), QStringLiteral("红楼梦"));
    EXPECT_EQ(r.text(QStringLiteral("py")), QStringLiteral("PYB001"));
    EXPECT_EQ(r.money(QStringLiteral("押金")), m("5"));
    EXPECT_EQ(r.money(QStringLiteral("每日租金")), m("1"));
    EXPECT_EQ(r.text(QStringLiteral("会员卡号")), QStringLiteral("散客"));
    EXPECT_EQ(r.text(QStringLiteral("会员姓名")), QStringLiteral("散客"));
    EXPECT_EQ(r.dateTime(QStringLiteral("出租日期")), QDateTime(QDate(2024, 3, 10), QTime(10, 0)));
    EXPECT_EQ(r.text(QStringLiteral("已还")), QStringLiteral("否"));
    EXPECT_EQ(r.text(QStringLiteral("出租经手人")), QStringLiteral("超级管理员"));
    EXPECT_TRUE(r.isNull(QStringLiteral("归还日期")));
    EXPECT_TRUE(r.isNull(QStringLiteral("实收租金")));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.text(QStringLiteral("条形码")), QStringLiteral("B002"));
    EXPECT_EQ(r.money(QStringLiteral("押金")), m("2.5"));
    EXPECT_EQ(r.money(QStringLiteral("每日租金")), m("0.3"));
    EXPECT_FALSE(r.next());
    EXPECT_EQ(count(QStringLiteral("收入记录")), 0); // no money at rent time
}

TEST_P(RentBookingTest, MemberRentWithoutDepositWritesZeroDepositsAndNextNumber) {
    addMemberType(QStringLiteral("金卡"), 5);
    addMember(QStringLiteral("1001"), QStringLiteral("张三"), QStringLiteral("金卡"));
    addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"), QStringLiteral("普通"),
            QStringLiteral("待租"), 4);
    execOk(QStringLiteral("update 系统信息 set 出租单号 = 41"));
    RentOrder order{{line(QStringLiteral("B001"), QStringLiteral("红楼梦"), "10", "1")},
                    QStringLiteral("1001"),
                    QStringLiteral("张三"),
                    RentPricing::DepositMode::Free,
                    QStringLiteral("小王")};
    auto receipt = bookRent(db, order);
    ASSERT_TRUE(receipt.ok()) << receipt.error().toStdString();
    EXPECT_EQ(receipt->orderNumber, 42);
    EXPECT_EQ(text(QStringLiteral("select 出租单号 from 出租记录")), QStringLiteral("42"));
    EXPECT_EQ(amount(QStringLiteral("select 押金 from 出租记录")), m("0"));
    EXPECT_EQ(text(QStringLiteral("select 会员卡号 from 出租记录")), QStringLiteral("1001"));
    EXPECT_EQ(text(QStringLiteral("select 会员姓名 from 出租记录")), QStringLiteral("张三"));
    EXPECT_EQ(text(QStringLiteral("select 出租经手人 from 出租记录")), QStringLiteral("小王"));
    EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库")), QStringLiteral("1001"));
    EXPECT_EQ(integer(QStringLiteral("select 借出次数 from 出租库")), 5);
    auto next = OrderNumbers::peekNext(db, OrderNumbers::Kind::Rent);
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(next.value(), 43);
}

TEST_P(RentBookingTest, CopyNoLongerAvailableIsRefusedByBarcodeAndNothingIsWritten) {
    addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"));
    addCopy(QStringLiteral("B002"), QStringLiteral("水浒传"), QStringLiteral("普通"),
            QStringLiteral("停租"));
    addCopy(QStringLiteral("B003"), QStringLiteral("西游记"), QStringLiteral("普通"),
            QStringLiteral("1001"));
    const QString before = snapshot();
    for (const char* refused : {"B002", "B003", "B404"}) {
        const QString barcode = QString::fromLatin1(refused);
        auto receipt = bookRent(
            db, walkInOrder({line(QStringLiteral("B001"), QStringLiteral("红楼梦"), "10", "1"),
                             line(barcode, QStringLiteral("x"), "10", "1")}));
        ASSERT_FALSE(receipt.ok()) << refused;
        EXPECT_TRUE(receipt.error().contains(barcode)) << receipt.error().toStdString();
        EXPECT_EQ(snapshot(), before) << refused;
    }
}

TEST_P(RentBookingTest, FailureInTheMiddleLeavesTheDatabaseAsBefore) {
    addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"));
    addCopy(QStringLiteral("B002"), QStringLiteral("水浒传"));
    const QString before = snapshot();
    failInsertsInto(QStringLiteral("出租记录"));
    auto receipt = bookRent(
        db, walkInOrder({line(QStringLiteral("B001"), QStringLiteral("红楼梦"), "10", "1"),
                         line(QStringLiteral("B002"), QStringLiteral("水浒传"), "10", "1")}));
    ASSERT_FALSE(receipt.ok());
    EXPECT_TRUE(receipt.error().contains(QStringLiteral("injected failure")))
        << receipt.error().toStdString();
    EXPECT_EQ(snapshot(), before);
}

// Two workstations, each on its own connection and thread, book at the same moment.
class TwoWorkstations {
public:
    explicit TwoWorkstations(const TestDatabase& database) : m_database(database) {}

    // Runs work(db, index) on two threads released together.
    template <class Work> void run(Work work) {
        std::latch start(2);
        auto station = [&](int index) {
            const QString name = QStringLiteral("workstation%1").arg(index);
            if (Connection::open(m_database.connectionString(), name).ok()) {
                Db db(name);
                start.arrive_and_wait();
                work(db, index);
            } else {
                start.count_down();
                ++failures;
            }
            QSqlDatabase::database(name, false).close();
            Connection::close(name);
        };
        std::thread first(station, 0);
        std::thread second(station, 1);
        first.join();
        second.join();
    }
    std::atomic<int> failures{0};

private:
    const TestDatabase& m_database;
};

TEST_P(RentBookingTest, TwoWorkstationsRentingOneCopyAtOnceRentItOnce) {
    addCopy(QStringLiteral("B001"), QStringLiteral("红楼梦"));
    for (int round = 0; round < 5; ++round) {
        execOk(QStringLiteral("delete from 出租记录"));
        execOk(QStringLiteral("update 出租库 set 状态 = '待租', 借出次数 = 0"));
        std::atomic<int> booked{0};
        std::atomic<int> refused{0};
        TwoWorkstations stations(*database);
        stations.run([&](const Db& db, int index) {
            RentOrder order{{line(QStringLiteral("B001"), QStringLiteral("红楼梦"), "10", "1")},
                            QStringLiteral("卡%1").arg(index),
                            QStringLiteral("会员%1").arg(index),
                            RentPricing::DepositMode::Take,
                            QStringLiteral("超级管理员")};
            auto receipt = bookRent(db, order);
            if (receipt.ok())
                ++booked;
            else if (receipt.error().contains(QStringLiteral("B001")))
                ++refused;
        });
        ASSERT_EQ(stations.failures, 0);
        EXPECT_EQ(booked, 1);
        EXPECT_EQ(refused, 1);
        EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), 1);
        EXPECT_EQ(integer(QStringLiteral("select 借出次数 from 出租库")), 1);
        EXPECT_EQ(text(QStringLiteral("select 状态 from 出租库")),
                  text(QStringLiteral("select 会员卡号 from 出租记录")));
    }
}

TEST_P(RentBookingTest, TwoWorkstationsBookingAtOnceGetDistinctOrderNumbers) {
    constexpr int PerStation = 8;
    for (int i = 0; i < 2 * PerStation; ++i)
        addCopy(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("书"));
    std::atomic<int> failed{0};
    TwoWorkstations stations(*database);
    stations.run([&](const Db& db, int index) {
        for (int i = 0; i < PerStation; ++i) {
            const QString barcode =
                QStringLiteral("C%1").arg(index * PerStation + i, 2, 10, QLatin1Char('0'));
            if (!bookRent(db, walkInOrder({line(barcode, QStringLiteral("书"), "10", "1")})).ok())
                ++failed;
        }
    });
    ASSERT_EQ(stations.failures, 0);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(count(QStringLiteral("出租记录")), 2 * PerStation);
    EXPECT_EQ(integer(QStringLiteral("select count(distinct 出租单号) from 出租记录")),
              2 * PerStation);
    EXPECT_EQ(text(QStringLiteral("select 出租单号 from 系统信息")),
              QString::number(2 * PerStation));
}

TEST_P(RentBookingTest, LookupsFindAvailableCopiesByFragmentAndOpenRents) {
    addCopy(QStringLiteral("A-100-1"), QStringLiteral("红楼梦"));
    addCopy(QStringLiteral("A-100-2"), QStringLiteral("红楼梦"));
    addCopy(QStringLiteral("A-100-3"), QStringLiteral("红楼梦"), QStringLiteral("普通"),
            QStringLiteral("停租"));
    addCopy(QStringLiteral("A_1"), QStringLiteral("三国"));
    auto found = RentalLookup::availableCopies(db, QStringLiteral("100"), 10);
    ASSERT_TRUE(found.ok());
    ASSERT_EQ(found->size(), 2);
    EXPECT_EQ(found->at(0).barcode, QStringLiteral("A-100-1"));
    EXPECT_EQ(found->at(0).publisher, QStringLiteral("人民出版社"));
    EXPECT_EQ(found->at(0).listPrice, m("20"));
    // "_" typed in a barcode is a character, not a wildcard
    auto underscore = RentalLookup::availableCopies(db, QStringLiteral("A_"), 10);
    ASSERT_TRUE(underscore.ok());
    ASSERT_EQ(underscore->size(), 1);
    EXPECT_EQ(underscore->at(0).barcode, QStringLiteral("A_1"));
    // at most one more than asked for, in barcode order
    auto capped = RentalLookup::availableCopies(db, QStringLiteral("A"), 1);
    ASSERT_TRUE(capped.ok());
    ASSERT_EQ(capped->size(), 2);
    EXPECT_EQ(capped->at(1).barcode, QStringLiteral("A-100-2"));

    addOpenRent(QStringLiteral("A-100-1"), QStringLiteral("红楼梦"), QStringLiteral("散客"),
                QStringLiteral("散客"), "1", "10", QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
    auto open = MemberLookup::openRentCount(db, QStringLiteral("散客"));
    ASSERT_TRUE(open.ok());
    EXPECT_EQ(open.value(), 1);
    auto rents = RentalLookup::openRentsOf(db, QStringLiteral("A-100-1"), QStringLiteral("散客"));
    ASSERT_TRUE(rents.ok());
    ASSERT_EQ(rents->size(), 1);
    EXPECT_EQ(rents->at(0).rentedAt, QDateTime(QDate(2024, 3, 8), QTime(9, 0)));
    EXPECT_EQ(rents->at(0).deposit, m("10"));
    auto otherCard =
        RentalLookup::openRentsOf(db, QStringLiteral("A-100-1"), QStringLiteral("1001"));
    ASSERT_TRUE(otherCard.ok());
    EXPECT_TRUE(otherCard->isEmpty());
}
