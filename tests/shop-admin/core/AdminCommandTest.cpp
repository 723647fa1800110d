#include "shop-admin/core/AdminCommand.h"
#include "store/Schema.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status;
    QString out;
    QString err;
};

Outcome runCommand(const QStringList& arguments) {
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int status = AdminCommand::run(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {status, out, err};
}

} // namespace

class AdminCommandTest : public ::testing::TestWithParam<Engine> {};
SHOP_ON_BOTH_ENGINES(AdminCommandTest);

TEST_P(AdminCommandTest, InitSampleAndCheck) {
    SHOP_REQUIRE_ENGINE(GetParam());
    TestDatabase database(GetParam());
    ASSERT_TRUE(database.create(false).ok());
    const QString cs = database.connectionString();

    Outcome init = runCommand({QStringLiteral("init"), cs});
    ASSERT_EQ(init.status, 0) << init.err.toStdString();
    EXPECT_EQ(Schema::version(Db()).value(), Schema::CurrentVersion);

    Outcome again = runCommand({QStringLiteral("init"), cs});
    EXPECT_NE(again.status, 0);
    EXPECT_TRUE(again.err.contains(QStringLiteral("不能再次创建"))) << again.err.toStdString();

    Outcome sample = runCommand({QStringLiteral("sample"), cs});
    ASSERT_EQ(sample.status, 0) << sample.err.toStdString();
    EXPECT_NE(runCommand({QStringLiteral("sample"), cs}).status, 0);

    Outcome check = runCommand({QStringLiteral("check"), cs});
    ASSERT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("会员库: 4"))) << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("出租库: 8"))) << check.out.toStdString();

    // the sample shop is consistent: every rented copy has its open record
    Db db;
    auto orphans = db.scalarInteger(QStringLiteral(
        "select count(*) from 出租库 k where k.状态 not in ('待租','停租') and not exists "
        "(select 1 from 出租记录 r where r.条形码 = k.条形码 and r.已还 = '否' and "
        "r.会员卡号 = k.状态)"));
    ASSERT_TRUE(orphans.ok()) << orphans.error().toStdString();
    EXPECT_EQ(orphans.value().value_or(-1), 0);
    auto py = db.select(QStringLiteral("select py from 出租库 where 条形码 = ?"),
                        {QStringLiteral("D0003")});
    ASSERT_TRUE(py.ok());
    ASSERT_TRUE(py.value().next());
    EXPECT_EQ(py.value().text(QStringLiteral("py")), QStringLiteral("GPCZZN"));
}

TEST(AdminCommand, BadUseFails) {
    EXPECT_EQ(runCommand({}).status, 2);
    EXPECT_EQ(runCommand({QStringLiteral("init")}).status, 2);
    EXPECT_EQ(runCommand({QStringLiteral("frobnicate"), QStringLiteral("x")}).status, 2);
    Outcome bad = runCommand({QStringLiteral("init"), QStringLiteral("0")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.startsWith(QStringLiteral("错误: "))) << bad.err.toStdString();
}
