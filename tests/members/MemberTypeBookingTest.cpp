#include "members/MemberTypeBooking.h"
#include "support/TestDatabase.h"

#include <gtest/gtest.h>

namespace {

MemberType typed(const MemberTypeEntry& entry) {
    auto type = MemberTypeBooking::fromEntry(entry);
    EXPECT_TRUE(type.ok()) << type.error().toStdString();
    return type.ok() ? type.value() : MemberType{};
}

} // namespace

TEST(MemberTypeEntryTest, EmptyNumbersTakeDefaultsAndMalformedOnesAreRefused) {
    const MemberType plain = typed({QStringLiteral("  学生卡 "), {}, {}, {}});
    EXPECT_EQ(plain.name, QStringLiteral("学生卡"));
    EXPECT_EQ(plain.quota, 999);
    EXPECT_EQ(plain.discount, Money::fromInt(1));
    EXPECT_EQ(plain.fee, Money());
    EXPECT_TRUE(plain.rentFromCard) << "a new type takes rent from the card by default";

    const MemberType full =
        typed({QStringLiteral("银卡"), QStringLiteral("5"), QStringLiteral("0.85"),
               QStringLiteral("12.5"), true, false, true});
    EXPECT_EQ(full.quota, 5);
    EXPECT_EQ(full.discount, Money::fromUnits(8500));
    EXPECT_EQ(full.fee, Money::fromUnits(125000));
    EXPECT_TRUE(full.expiryCounts);
    EXPECT_FALSE(full.rentFromCard);
    EXPECT_TRUE(full.noDeposit);

    struct Case {
        MemberTypeEntry entry;
        const char* message;
    };
    const Case refused[] = {
        {{QStringLiteral("   "), {}, {}, {}}, "请填写完整！"},
        {{QStringLiteral("a"), QStringLiteral("1.5"), {}, {}}, "可借数量必须是整数!"},
        {{QStringLiteral("a"), QStringLiteral("99999999999"), {}, {}}, "可借数量必须是整数!"},
        {{QStringLiteral("a"), {}, QStringLiteral("1.2.3"), {}}, "折扣必须是数字!"},
        {{QStringLiteral("a"), {}, QStringLiteral("."), {}}, "折扣必须是数字!"},
        {{QStringLiteral("a"), {}, {}, QStringLiteral("abc")}, "开户费必须是数字!"},
    };
    for (const Case& c : refused) {
        auto type = MemberTypeBooking::fromEntry(c.entry);
        ASSERT_FALSE(type.ok()) << c.message;
        EXPECT_EQ(type.error(), QString::fromUtf8(c.message));
    }
}

class MemberTypeBookingTest : public EngineTest {
protected:
    MemberType stored(const QString& name) {
        auto found = MemberTypeBooking::find(db, name);
        EXPECT_TRUE(found.ok()) << found.error().toStdString();
        EXPECT_TRUE(found.ok() && found.value().has_value()) << name.toStdString();
        return found.ok() && found.value() ? *found.value() : MemberType{};
    }
};
SHOP_ON_BOTH_ENGINES(MemberTypeBookingTest);

TEST_P(MemberTypeBookingTest, TypeSavedWithOnlyANameGetsTheDefaults) {
    ASSERT_TRUE(MemberTypeBooking::add(db, typed({QStringLiteral("学生卡"), {}, {}, {}})).ok());
    auto rows = db.select(QStringLiteral("select * from 会员类型 where 名称 = ?"),
                          {QStringLiteral("学生卡")});
    ASSERT_TRUE(rows.ok());
    ASSERT_TRUE(rows.value().next());
    const Rows& row = rows.value();
    EXPECT_EQ(row.integer(QStringLiteral("可借数量")), 999);
    EXPECT_EQ(row.money(QStringLiteral("折扣")), Money::fromInt(1));
    EXPECT_EQ(row.money(QStringLiteral("开户费")), Money());
    EXPECT_FALSE(row.isNull(QStringLiteral("开户费")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("有效期限制")));
    EXPECT_TRUE(row.yesNo(QStringLiteral("归还时租金卡内扣除")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("免押金")));
    EXPECT_FALSE(row.yesNo(QStringLiteral("免租金")));
    EXPECT_FALSE(row.isNull(QStringLiteral("免租金")));
}

TEST_P(MemberTypeBookingTest, ModifyingTheWalkInTypeChangesItsTermsButNotItsName) {
    MemberType changed = typed({QStringLiteral("贵宾"), QStringLiteral("3"), QStringLiteral("0.9"),
                                QStringLiteral("5"), true, true, true});
    ASSERT_TRUE(MemberTypeBooking::modify(db, QStringLiteral("散客"), changed).ok());
    EXPECT_EQ(
        count(QStringLiteral("会员类型"), QStringLiteral("名称 = ?"), {QStringLiteral("贵宾")}), 0);
    const MemberType walkIn = stored(QStringLiteral("散客"));
    EXPECT_EQ(walkIn.quota, 3);
    EXPECT_EQ(walkIn.discount, Money::fromUnits(9000));
    EXPECT_EQ(walkIn.fee, Money::fromInt(5));
    EXPECT_TRUE(walkIn.expiryCounts);
    EXPECT_TRUE(walkIn.noDeposit);
}

TEST_P(MemberTypeBookingTest, RenameAndDuplicateName) {
    ASSERT_TRUE(MemberTypeBooking::add(db, typed({QStringLiteral("普通"), {}, {}, {}})).ok());
    ASSERT_TRUE(MemberTypeBooking::add(db, typed({QStringLiteral("金卡"), {}, {}, {}})).ok());
    // a second type of one name is refused by the key
    EXPECT_FALSE(MemberTypeBooking::add(db, typed({QStringLiteral("金卡"), {}, {}, {}})).ok());
    EXPECT_FALSE(MemberTypeBooking::modify(db, QStringLiteral("普通"),
                                           typed({QStringLiteral("金卡"), {}, {}, {}}))
                     .ok());
    ASSERT_TRUE(
        MemberTypeBooking::modify(db, QStringLiteral("普通"),
                                  typed({QStringLiteral("普通会员"), QStringLiteral("2"), {}, {}}))
            .ok());
    EXPECT_EQ(stored(QStringLiteral("普通会员")).quota, 2);
    EXPECT_EQ(count(QStringLiteral("会员类型")), 3);
    // a type deleted meanwhile is not silently recreated
    EXPECT_FALSE(MemberTypeBooking::modify(db, QStringLiteral("不存在"),
                                           typed({QStringLiteral("x"), {}, {}, {}}))
                     .ok());
    auto names = MemberTypeBooking::memberTypeNames(db);
    ASSERT_TRUE(names.ok());
    names.value().sort();
    EXPECT_EQ(names.value(), (QStringList{QStringLiteral("普通会员"), QStringLiteral("金卡")}))
        << names.value().join(u',').toStdString();
}

TEST_P(MemberTypeBookingTest, WalkInCannotBeDeletedOthersCanEvenWhenInUse) {
    Status refused = MemberTypeBooking::remove(db, QStringLiteral("散客"));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error(), QStringLiteral("散客类型不能删除!"));
    EXPECT_EQ(
        count(QStringLiteral("会员类型"), QStringLiteral("名称 = ?"), {QStringLiteral("散客")}), 1);

    ASSERT_TRUE(MemberTypeBooking::add(db, typed({QStringLiteral("金卡"), {}, {}, {}})).ok());
    execOk(QStringLiteral("insert into 会员库(会员卡号,会员姓名,会员类型) values(?,?,?)"),
           {QStringLiteral("1"), QStringLiteral("张三"), QStringLiteral("金卡")});
    ASSERT_TRUE(MemberTypeBooking::remove(db, QStringLiteral("金卡")).ok());
    EXPECT_EQ(count(QStringLiteral("会员类型")), 1);
    EXPECT_EQ(
        count(QStringLiteral("会员库"), QStringLiteral("会员类型 = ?"), {QStringLiteral("金卡")}),
        1);
}
