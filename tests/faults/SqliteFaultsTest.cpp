#include "../harness/FaultyVfs.h"
#include "store/BookingKeys.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/Schema.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <latch>
#include <thread>

namespace {

QString fileString(const QTemporaryDir& dir) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1/data.db;")
        .arg(dir.path());
}

qint64 media(const Db& db, const QString& name) {
    auto n = db.scalarInteger(QStringLiteral("select count(*) from 介质 where 名称 = ?"), {name});
    return n ? n.value().value_or(0) : -1;
}

Status insertMedium(const Db& db, const QString& name) {
    auto done = db.exec(QStringLiteral("insert into 介质(名称) values(?)"), {name});
    return done ? Status() : Status(Error{done.error()});
}

} // namespace

TEST(SqliteCommitFault, ACommitWhoseSyncFailedIsReportedAsTheFileHoldsIt) {
    ASSERT_TRUE(FaultyVfs::install());
    for (const auto mode : {FaultyVfs::Mode::Once, FaultyVfs::Mode::FromThenOn}) {
        QTemporaryDir dir;
        const QString name = QStringLiteral("lite");
        ASSERT_TRUE(Connection::open(fileString(dir), name).ok());
        const Db db(name);
        ASSERT_TRUE(Schema::create(db).ok());
        const Status booked = db.inTransaction([&]() -> Status {
            if (Status s = insertMedium(db, QStringLiteral("光盘")); !s)
                return s;
            FaultyVfs::arm(FaultyVfs::Operation::Sync, 1, mode); // the commit's sync fails
            return {};
        });
        FaultyVfs::disarm();
        Connection::close(name);
        ASSERT_TRUE(Connection::open(fileString(dir), name).ok());
        const qint64 stored = media(db, QStringLiteral("光盘"));
        // never "not done" for a booking that stands, nor the reverse
        if (booked.ok()) {
            EXPECT_EQ(stored, 1);
        } else {
            EXPECT_EQ(stored, 0);
            EXPECT_TRUE(booked.error() == BookingKeys::notDone() ||
                        booked.error().startsWith(QStringLiteral("结果未知")))
                << booked.error().toStdString();
        }
        Connection::close(name);
    }
}

TEST(SqliteBusy, ABookingMeetingAnotherWriterWaitsVisiblyAndMayBeCancelled) {
    QTemporaryDir dir;
    const QString name = QStringLiteral("counter");
    ASSERT_TRUE(Connection::open(fileString(dir), name).ok());
    const Db db(name);
    ASSERT_TRUE(Schema::create(db).ok());

    // another workstation holds the file for a while
    auto holdFor = [&](int ms, std::latch& holding) {
        return std::thread([&, ms] {
            const QString other = QStringLiteral("other");
            (void)Connection::open(fileString(dir), other);
            const Db second(other);
            (void)second.exec(QStringLiteral("BEGIN IMMEDIATE"));
            holding.count_down();
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            (void)second.exec(QStringLiteral("COMMIT"));
            Connection::close(other);
        });
    };
    int waits = 0;
    Db::setBusyWaiter([&](int) {
        ++waits;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return true;
    });
    {
        std::latch holding(1);
        std::thread writer = holdFor(2500, holding);
        holding.wait();
        QElapsedTimer waited;
        waited.start();
        const Status booked =
            db.inTransaction([&] { return insertMedium(db, QStringLiteral("光盘")); });
        writer.join();
        EXPECT_TRUE(booked.ok()) << booked.error().toStdString();
        EXPECT_GE(waited.elapsed(), 2000);
        EXPECT_GE(waits, 1);
    }
    // the clerk cancels the wait: nothing is written
    Db::setBusyWaiter([](int) { return false; });
    {
        std::latch holding(1);
        std::thread writer = holdFor(2500, holding);
        holding.wait();
        const Status booked =
            db.inTransaction([&] { return insertMedium(db, QStringLiteral("磁带")); });
        writer.join();
        ASSERT_FALSE(booked.ok());
        EXPECT_EQ(booked.error(), QStringLiteral("已取消, 本次操作没有完成."));
        EXPECT_EQ(media(db, QStringLiteral("磁带")), 0);
    }
    Db::setBusyWaiter({});
    Connection::close(name);
}
