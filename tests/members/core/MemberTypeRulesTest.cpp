#include "members/core/MemberTypeRules.h"
#include "customers/MemberLookup.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

TEST(MemberTypeRulesTest, NewTypeDefaultsAndTheWalkInTypeIsProtected) {
    const QVariantMap fresh = MemberTypeRules::newType();
    EXPECT_EQ(fresh.value(QStringLiteral("归还时租金卡内扣除")), QVariant(true));
    for (const char* column : {"有效期限制", "免押金", "免租金"})
        EXPECT_EQ(fresh.value(QString::fromUtf8(column)), QVariant(false)) << column;

    const QVariantMap defaults = MemberTypeRules::defaultsOnSave();
    EXPECT_EQ(defaults.value(QStringLiteral("可借数量")).toLongLong(), 999);
    EXPECT_EQ(defaults.value(QStringLiteral("折扣")).value<Money>(), Money::fromInt(1));
    EXPECT_EQ(defaults.value(QStringLiteral("开户费")).value<Money>(), Money());

    QVariantMap row{{QStringLiteral("名称"), QStringLiteral("  学生卡 ")}};
    MemberTypeRules::normalize(row);
    EXPECT_EQ(row.value(QStringLiteral("名称")).toString(), QStringLiteral("学生卡"));

    EXPECT_EQ(MemberTypeRules::lockedColumns(QStringLiteral("散客")),
              QStringList{QStringLiteral("名称")});
    EXPECT_TRUE(MemberTypeRules::lockedColumns(QStringLiteral("金卡")).isEmpty());
    EXPECT_EQ(MemberTypeRules::refuseDelete(QStringLiteral("散客")),
              QStringLiteral("散客类型不能删除!"));
    EXPECT_TRUE(MemberTypeRules::refuseDelete(QStringLiteral("散客 ")).isEmpty());
}

class MemberTypeLookupTest : public EngineTest {};
SHOP_ON_BOTH_ENGINES(MemberTypeLookupTest);

TEST_P(MemberTypeLookupTest, NamesLeaveOutTheWalkInTypeAndTermsReadBack) {
    execOk(QStringLiteral("insert into 会员类型(名称,可借数量,折扣,开户费,有效期限制,"
                          "归还时租金卡内扣除,免押金,免租金) values(?,?,?,?,?,?,?,?)"),
           {QStringLiteral("金卡"), 3, QVariant::fromValue(Money::fromUnits(9000)),
            QVariant::fromValue(Money::fromInt(5)), true, false, true, false});
    auto names = MemberTypeRules::memberTypeNames(db);
    ASSERT_TRUE(names.ok()) << names.error().toStdString();
    EXPECT_EQ(names.value(), QStringList{QStringLiteral("金卡")});
    auto n = MemberTypeRules::typeCount(db);
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(n.value(), 2);

    auto gold = MemberLookup::memberType(db, QStringLiteral("金卡"));
    ASSERT_TRUE(gold.ok() && gold.value().has_value());
    EXPECT_EQ(gold.value()->quota, 3);
    EXPECT_EQ(gold.value()->discount, Money::fromUnits(9000));
    EXPECT_EQ(gold.value()->fee, Money::fromInt(5));
    EXPECT_TRUE(gold.value()->expiryCounts);
    EXPECT_FALSE(gold.value()->rentFromCard);
    EXPECT_TRUE(gold.value()->noDeposit);
    auto none = MemberLookup::memberType(db, QStringLiteral("金卡 "));
    ASSERT_TRUE(none.ok());
    EXPECT_FALSE(none.value().has_value());
}
