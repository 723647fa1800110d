#include "store/Connection.h"
#include "store/Db.h"
#include "support/OwnCluster.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

TEST(OwnClusterTest, AKilledServerComesBackWithWhatWasCommitted) {
    SHOP_REQUIRE_ENGINE(Engine::Postgres); // needs the server's programs
    OwnCluster cluster;
    ASSERT_TRUE(cluster.start().ok());
    auto shop = cluster.createShop(QStringLiteral("shop_restart"));
    ASSERT_TRUE(shop.ok()) << shop.error().toStdString();
    ASSERT_TRUE(Connection::open(shop.value(), QStringLiteral("fault")).ok());
    ASSERT_TRUE(
        Db(QStringLiteral("fault"))
            .exec(QStringLiteral("insert into 介质(名称) values(?)"), {QStringLiteral("磁带")})
            .ok());
    ASSERT_TRUE(cluster.restart().ok());
    Connection::close(QStringLiteral("fault"));
    ASSERT_TRUE(Connection::open(shop.value(), QStringLiteral("fault")).ok());
    auto kept = Db(QStringLiteral("fault"))
                    .scalarInteger(QStringLiteral("select count(*) from 介质 where 名称 = ?"),
                                   {QStringLiteral("磁带")});
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.value().value_or(0), 1);
    Connection::close(QStringLiteral("fault"));
}
