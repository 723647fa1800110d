#include "store/Money.h"

#include <gtest/gtest.h>

namespace {

Money m(const char* text) {
    auto parsed = Money::parse(QString::fromUtf8(text));
    EXPECT_TRUE(parsed.has_value()) << text;
    return parsed.value_or(Money());
}

std::string s(Money value) {
    return value.toString().toStdString();
}

} // namespace

TEST(Money, ParsesDecimalTextExactly) {
    EXPECT_EQ(m("12").units(), 120000);
    EXPECT_EQ(m("-3.5").units(), -35000);
    EXPECT_EQ(m("0.8097").units(), 8097);
    EXPECT_EQ(m(".5").units(), 5000);
    EXPECT_EQ(m("12.").units(), 120000);
    EXPECT_EQ(m("+7").units(), 70000);
    EXPECT_EQ(m("0000012.3400").units(), 123400);
}

TEST(Money, RefusesMalformedText) {
    for (const char* bad : {"", ".", "-", "+", "1.2.3", "1e5", "12a", "a12", " 1", "1 ", "1,000",
                            "--1", "0x10", "１２", "12.3.", "-.", "99999999999999999999"})
        EXPECT_FALSE(Money::parse(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(Money, RoundsExtraDecimalsHalfToEven) {
    EXPECT_EQ(m("0.00005").units(), 0);  // tie, 0 is even
    EXPECT_EQ(m("0.00015").units(), 2);  // tie, up to the even 2
    EXPECT_EQ(m("0.00025").units(), 2);  // tie, down to the even 2
    EXPECT_EQ(m("0.000251").units(), 3); // above the tie
    EXPECT_EQ(m("-0.00015").units(), -2);
    EXPECT_EQ(m("-0.00025").units(), -2);
}

TEST(Money, ShortestTextForm) {
    EXPECT_EQ(s(m("12.5000")), "12.5");
    EXPECT_EQ(s(m("10")), "10");
    EXPECT_EQ(s(m("-3")), "-3");
    EXPECT_EQ(s(m("0.8097")), "0.8097");
    EXPECT_EQ(s(m("-0.05")), "-0.05");
    EXPECT_EQ(s(Money()), "0");
    EXPECT_EQ(s(Money::fromUnits(1)), "0.0001");
    EXPECT_EQ(s(Money::fromUnits(-1)), "-0.0001");
    EXPECT_EQ(s(Money::fromUnits(1234567890123)), "123456789.0123");
    EXPECT_EQ(s(Money::fromUnits(-Money::MaxUnits)), "-922337203685477.5807");
}

TEST(Money, MultipliesWithFourPlaceRounding) {
    // 12.35 × 0.85 = 10.4975 exactly; × 3 lines = 31.4925
    EXPECT_EQ(s(m("12.35") * m("0.85")), "10.4975");
    EXPECT_EQ(s(m("12.35") * m("0.85") * 3), "31.4925");
    // 0.0001 × 0.5 = 0.00005: a tie, rounds to the even 0
    EXPECT_EQ(s(m("0.0001") * m("0.5")), "0");
    // 0.0003 × 0.5 = 0.00015: a tie, rounds to the even 0.0002
    EXPECT_EQ(s(m("0.0003") * m("0.5")), "0.0002");
    EXPECT_EQ(s(m("-0.0003") * m("0.5")), "-0.0002");
    EXPECT_EQ(s(m("-0.0001") * m("0.5")), "0");
    EXPECT_EQ(s(m("2.5") * 4), "10");
}

TEST(Money, DividesWithFourPlaceRounding) {
    // a line total of 30 for 3 units of list price 12.35
    EXPECT_EQ(s(*m("30").dividedBy(3)), "10");
    EXPECT_EQ(s(*m("10").dividedBy(m("12.35"))), "0.8097"); // 0.80971...
    EXPECT_EQ(s(*m("1").dividedBy(3)), "0.3333");
    EXPECT_EQ(s(*m("2").dividedBy(3)), "0.6667");
    EXPECT_EQ(s(*m("0.0001").dividedBy(2)), "0");      // 0.00005 tie to even
    EXPECT_EQ(s(*m("0.0003").dividedBy(2)), "0.0002"); // 0.00015 tie to even
    EXPECT_EQ(s(*m("-1").dividedBy(3)), "-0.3333");
    EXPECT_FALSE(m("1").dividedBy(Money()).has_value());
    EXPECT_FALSE(m("1").dividedBy(0).has_value());
}

TEST(Money, SumsExactly) {
    Money total;
    for (int i = 0; i < 10000; ++i)
        total += m("0.1");
    EXPECT_EQ(s(total), "1000");
    EXPECT_EQ(s(m("0.1") + m("0.2")), "0.3");
    EXPECT_EQ(s(m("5") - m("7.25")), "-2.25");
    EXPECT_TRUE(m("0.3") > m("0.2999"));
}

TEST(Money, ArithmeticBeyondTheStoredRangeIsAnOverflowNeverAWrappedValue) {
    const Money max = Money::fromUnits(Money::MaxUnits);
    const Money one = Money::fromInt(1);
    const Money overflows[] = {
        max + Money::fromUnits(1),
        -max - Money::fromUnits(1),
        max * 2,
        max * Money::fromInt(2),
        Money::fromInt(Money::MaxUnits / Money::Scale + 1),
        *Money::parse(u"9999999999") * *Money::parse(u"99999999999"),
        *max.dividedBy(*Money::parse(u"0.5")),
    };
    for (const Money& m : overflows) {
        EXPECT_FALSE(m.isValid());
        EXPECT_EQ(m.toString(), QStringLiteral("溢出"));
        // it stays an overflow through any further arithmetic
        EXPECT_FALSE((m - m).isValid());
        EXPECT_FALSE((m * Money()).isValid());
        EXPECT_FALSE((-m + one).isValid());
    }
    // the edges themselves are amounts
    EXPECT_TRUE((max - one + one).isValid());
    EXPECT_EQ((-max).toString(), QStringLiteral("-922337203685477.5807"));
    EXPECT_EQ(Money::parse(u"922337203685477.5807"), max);
    EXPECT_EQ(Money::parse(u"922337203685477.5808"), std::nullopt);
}
