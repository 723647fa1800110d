#include "store/LargeSample.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

class LargeSampleTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(LargeSampleTest);

TEST_P(LargeSampleTest, FillsEveryTableInProportionWithOneOpenRentPerCopyOut) {
    // the small sample goes in first: 8 copies, 5 items, 4 members, 3 rents
    const double scale = 0.0005;
    ASSERT_TRUE(LargeSample::fill(db, scale).ok());
    const LargeSample::Sizes size = LargeSample::sizesAt(scale);
    EXPECT_EQ(count(QStringLiteral("出租库")), size.copies + 8);
    EXPECT_EQ(count(QStringLiteral("会员库")), size.members + 4);
    EXPECT_EQ(count(QStringLiteral("销售库")), size.saleItems + 5);
    EXPECT_EQ(count(QStringLiteral("出租记录")), size.rentRecords + 3);
    EXPECT_EQ(count(QStringLiteral("销售记录")), size.saleRecords + 1);
    EXPECT_EQ(count(QStringLiteral("收入记录")), size.incomeRows + 3);
    // every copy out has exactly one open rent, to the member its status names
    const qint64 out = count(QStringLiteral("出租库"), QStringLiteral("状态 <> '待租'"));
    EXPECT_GT(out, size.copies / 20);
    EXPECT_EQ(count(QStringLiteral("出租记录"), QStringLiteral("已还 = '否'")), out);
    auto matching = db.scalarInteger(
        QStringLiteral("select count(*) from 出租记录 r join 出租库 c on c.条形码 = r.条形码 "
                       "where r.已还 = '否' and r.会员卡号 = c.状态"));
    ASSERT_TRUE(matching.ok()) << matching.error().toStdString();
    EXPECT_EQ(matching.value(), out);
    // a second fill is refused
    EXPECT_FALSE(LargeSample::fill(db, scale).ok());
}
