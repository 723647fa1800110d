#include "CuttingProxy.h"
#include "store/BookingKeys.h"
#include "store/Connection.h"
#include "store/Db.h"
#include "store/StatementWatch.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

const QString Station = QStringLiteral("counter");

// A booking of one row, counted by the test.
Status bookMedium(const Db& db, const QString& name, const QString& key = {}, int* runs = nullptr) {
    return db.inTransaction(
        [&]() -> Status {
            if (runs)
                ++*runs;
            auto done = db.exec(QStringLiteral("insert into 介质(名称) values(?)"), {name});
            return done ? Status() : Status(Error{done.error()});
        },
        key);
}

qint64 media(const Db& db, const QString& name) {
    auto n = db.scalarInteger(QStringLiteral("select count(*) from 介质 where 名称 = ?"), {name});
    EXPECT_TRUE(n.ok()) << (n ? std::string() : n.error().toStdString());
    return n ? n.value().value_or(0) : -1;
}

// A durable cluster of the test's own, reached through a proxy that cuts
// the connection at a COMMIT.
class CutCommitTest : public ::testing::Test {
protected:
    void SetUp() override {
        SHOP_REQUIRE_ENGINE(Engine::Postgres);
        OwnCluster::Options options;
        options.plain = true;
        options.port = 55433;
        cluster = std::make_unique<OwnCluster>(options);
        ASSERT_TRUE(cluster->start().ok());
        auto shop = cluster->createShop(QStringLiteral("shop_cut"), true);
        ASSERT_TRUE(shop.ok()) << shop.error().toStdString();
        proxy = std::make_unique<CuttingProxy>(options.port);
        QString viaProxy = shop.value();
        viaProxy.replace(QStringLiteral(":%1;").arg(options.port),
                         QStringLiteral(":%1;").arg(proxy->port()));
        ASSERT_TRUE(Connection::open(viaProxy, Station).ok());
    }
    void TearDown() override {
        Connection::close(Station);
        proxy.reset();
        cluster.reset();
    }
    std::unique_ptr<OwnCluster> cluster;
    std::unique_ptr<CuttingProxy> proxy;
    Db db{Station};
};

} // namespace

TEST_F(CutCommitTest, ABookingWhoseCommitAnswerIsLostIsFoundDone) {
    proxy->setCut(CuttingProxy::Cut::AfterCommitAnswer);
    const Status booked = bookMedium(db, QStringLiteral("光盘"));
    EXPECT_EQ(proxy->cuts(), 1);
    EXPECT_TRUE(booked.ok()) << booked.error().toStdString();
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 1);
}

TEST_F(CutCommitTest, ABookingWhoseCommitNeverArrivedIsToldNotDone) {
    proxy->setCut(CuttingProxy::Cut::BeforeCommit);
    const Status booked = bookMedium(db, QStringLiteral("光盘"));
    EXPECT_EQ(proxy->cuts(), 1);
    ASSERT_FALSE(booked.ok());
    EXPECT_EQ(booked.error(), BookingKeys::notDone());
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 0);
    // and the next booking goes ahead over a new connection
    EXPECT_TRUE(bookMedium(db, QStringLiteral("光盘")).ok());
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 1);
}

TEST_F(CutCommitTest, WhileTheLookUpCannotBeMadeTheOutcomeIsUnknownAndNotBookedAgain) {
    const QString key = BookingKeys::make();
    proxy->setCut(CuttingProxy::Cut::AfterCommitAnswer);
    proxy->setRefuseAfterCut(true);
    int runs = 0;
    Status booked = bookMedium(db, QStringLiteral("光盘"), key, &runs);
    ASSERT_FALSE(booked.ok());
    EXPECT_EQ(booked.error(), BookingKeys::unknown(key));
    EXPECT_TRUE(BookingKeys::isUnresolved(key));
    // booking the same lines again is refused while nobody can look
    booked = bookMedium(db, QStringLiteral("光盘"), key, &runs);
    EXPECT_EQ(booked.error(), BookingKeys::unknown(key));
    EXPECT_EQ(runs, 1);
    // the server is back: the look-up answers that the booking stood
    proxy->setRefusing(false);
    booked = bookMedium(db, QStringLiteral("光盘"), key, &runs);
    ASSERT_FALSE(booked.ok());
    EXPECT_TRUE(booked.error().startsWith(QStringLiteral("已完成")))
        << booked.error().toStdString();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(BookingKeys::isUnresolved(key));
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 1);
}

class ServerFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        SHOP_REQUIRE_ENGINE(Engine::Postgres);
        OwnCluster::Options options;
        options.port = 55434;
        cluster = std::make_unique<OwnCluster>(options);
        ASSERT_TRUE(cluster->start().ok());
        auto shop = cluster->createShop(QStringLiteral("shop_fault"));
        ASSERT_TRUE(shop.ok()) << shop.error().toStdString();
        ASSERT_TRUE(Connection::open(shop.value(), Station).ok());
        StatementWatch::setDeadlines(2, 2);
    }
    void TearDown() override {
        StatementWatch::setDeadlines(20, 120);
        Connection::close(Station);
        cluster.reset();
    }
    qint64 backend() {
        auto pids = cluster->backends(QStringLiteral("shop_fault"));
        EXPECT_TRUE(pids.ok() && pids.value().size() == 1);
        return pids.ok() && !pids.value().isEmpty() ? pids.value().first() : 0;
    }
    std::unique_ptr<OwnCluster> cluster;
    Db db{Station};
};

TEST_F(ServerFaultTest, AfterARestartTheNextReadAndBookingReconnect) {
    ASSERT_TRUE(bookMedium(db, QStringLiteral("磁带")).ok());
    ASSERT_TRUE(cluster->restart().ok());
    EXPECT_EQ(media(db, QStringLiteral("磁带")), 1);
    ASSERT_TRUE(cluster->restart().ok());
    EXPECT_TRUE(bookMedium(db, QStringLiteral("光盘")).ok());
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 1);
}

TEST_F(ServerFaultTest, AStoppedBackendIsGivenUpAtTheDeadlineAndTheNextReadWorks) {
    ASSERT_EQ(media(db, QStringLiteral("磁带")), 0);
    const qint64 pid = backend();
    ASSERT_TRUE(OwnCluster::pause(pid));
    QElapsedTimer waited;
    waited.start();
    auto lookUp = db.scalarInteger(QStringLiteral("select count(*) from 介质"));
    const qint64 ms = waited.elapsed();
    OwnCluster::resume(pid);
    ASSERT_FALSE(lookUp.ok());
    EXPECT_TRUE(lookUp.error().contains(QStringLiteral("2 秒内没有回答")))
        << lookUp.error().toStdString();
    EXPECT_GE(ms, 1900);
    EXPECT_LT(ms, 10000);
    EXPECT_EQ(media(db, QStringLiteral("磁带")), 0);
}

TEST_F(ServerFaultTest, ABackendStoppedBeforeTheCommitEndsNotDoneWithinTheDeadline) {
    const qint64 pid = backend();
    QElapsedTimer waited;
    waited.start();
    const Status booked = db.inTransaction([&]() -> Status {
        auto done =
            db.exec(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("光盘")});
        if (!done)
            return Error{done.error()};
        // the server stops answering before the COMMIT arrives
        return OwnCluster::pause(pid) ? Status() : Status(Error{QStringLiteral("no backend")});
    });
    const qint64 ms = waited.elapsed();
    OwnCluster::resume(pid);
    // cut off before its COMMIT was answered: rolled back by the server
    ASSERT_FALSE(booked.ok());
    EXPECT_TRUE(booked.error().contains(QStringLiteral("没有完成")))
        << booked.error().toStdString();
    EXPECT_LT(ms, 10000);
    EXPECT_EQ(media(db, QStringLiteral("光盘")), 0);
}
