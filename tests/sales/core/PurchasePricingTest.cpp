#include "sales/core/PurchasePricing.h"

#include <gtest/gtest.h>

using namespace PurchasePricing;

TEST(PurchasePricing, BoxesFollowOneAnother) {
    struct Case {
        const char* list;
        const char* unit;
        const char* discount; // what the discount box shows ("" emptied)
    };
    const Case discounts[] = {
        {"30", "18", "0.6"},      {"25", "15", "0.6"}, {"3", "1", "0.3333"},
        {"3", "2", "0.6667"},     {"20000", "1", "0"}, // 0.00005: tie to even
        {"20000", "3", "0.0002"},                      // 0.00015: tie to even
        {"0", "5", ""},                                // no discount of a list price of 0
        {"1.2.3", "5", ""},       {"30", ".", ""},
    };
    for (const Case& c : discounts) {
        auto shown = discountText(QString::fromLatin1(c.list), QString::fromLatin1(c.unit));
        ASSERT_TRUE(shown.has_value()) << c.list << " " << c.unit;
        EXPECT_EQ(*shown, QString::fromLatin1(c.discount)) << c.list << " " << c.unit;
    }
    EXPECT_EQ(unitPriceText(QStringLiteral("30"), QStringLiteral("0.55")), QStringLiteral("16.5"));
    EXPECT_EQ(unitPriceText(QStringLiteral("12"), QStringLiteral("0.5")), QStringLiteral("6"));
    EXPECT_EQ(totalText(QStringLiteral("5"), QStringLiteral("18")), QStringLiteral("90"));
    EXPECT_EQ(totalText(QStringLiteral("5"), QStringLiteral("16.5")), QStringLiteral("82.5"));
    EXPECT_EQ(totalText(QStringLiteral("4"), QStringLiteral("15")), QStringLiteral("60"));
    EXPECT_EQ(totalText(QStringLiteral("3"), QStringLiteral("0.3333")), QStringLiteral("0.9999"));
    // a box the rule needs is empty: the other box keeps its text
    EXPECT_FALSE(discountText(QString(), QStringLiteral("18")).has_value());
    EXPECT_FALSE(unitPriceText(QStringLiteral("30"), QString()).has_value());
    EXPECT_FALSE(totalText(QString(), QStringLiteral("18")).has_value());
}

TEST(PurchasePricing, TypedAmountsAreCheckedAndBounded) {
    EXPECT_EQ(readAmount(QStringLiteral(" 12.5 "), QStringLiteral("定价")).value(),
              *Money::parse(u"12.5"));
    EXPECT_EQ(readAmount(QString(), QStringLiteral("折扣"), Money::fromInt(0)).value(), Money());
    EXPECT_EQ(readAmount(QString(), QStringLiteral("定价")).error(),
              QStringLiteral("字体加重的项目必须填写!"));
    EXPECT_EQ(readAmount(QStringLiteral("."), QStringLiteral("定价")).error(),
              QStringLiteral("定价的数字格式不正确: \".\""));
    EXPECT_EQ(readAmount(QStringLiteral("100000001"), QStringLiteral("定价")).error(),
              QStringLiteral("定价不能超过100000000!"));
    EXPECT_EQ(readQuantity(QStringLiteral("1000000"), QStringLiteral("进货数量")).error(),
              QStringLiteral("进货数量不能超过999999!"));
    EXPECT_EQ(readQuantity(QStringLiteral("2.5"), QStringLiteral("进货数量")).error(),
              QStringLiteral("进货数量的数字格式不正确: \"2.5\""));
    // the largest total fits
    EXPECT_EQ(total(MaxQuantity, MaxPrice).toString(), QStringLiteral("99999900000000"));
}
