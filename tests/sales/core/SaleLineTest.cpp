#include "sales/core/SaleLine.h"

#include <gtest/gtest.h>

namespace {

Money m(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}

QString s(Money amount) {
    return amount.toString();
}

} // namespace

TEST(CountPrice, WorkedExampleAndEditOfTheTotal) {
    QList<SaleLine> lines{SalePricing::makeLine(
        QStringLiteral("S0002"), QStringLiteral("唐诗三百首"), m("12.35"), 3, m("0.85"), 2)};
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("10.4975"));
    EXPECT_EQ(s(lines[0].total), QStringLiteral("31.4925"));
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("31.4925"));
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("10.4975"));
    EXPECT_EQ(s(lines[0].discount), QStringLiteral("0.85"));

    lines[0].total = m("30");
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("30"));
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("10"));
    EXPECT_EQ(s(lines[0].discount), QStringLiteral("0.8097"));
}

TEST(CountPrice, SumsEveryLineAndShowsTheImpliedDiscount) {
    QList<SaleLine> lines{
        SalePricing::makeLine(QStringLiteral("A"), QStringLiteral("甲"), m("10"), 1, m("0.90"), 1),
        SalePricing::makeLine(QStringLiteral("B"), QStringLiteral("乙"), m("20"), 2, m("1"), 2),
    };
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("49"));
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("9"));
    EXPECT_EQ(s(lines[0].discount), QStringLiteral("0.9"));
    EXPECT_EQ(s(lines[1].unitPrice), QStringLiteral("20"));
    EXPECT_EQ(s(lines[1].total), QStringLiteral("40"));

    lines.removeLast();
    lines.removeLast();
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("0"));
}

TEST(CountPrice, RoundsToFourPlacesHalfToEven) {
    // list price × discount on a tie
    EXPECT_EQ(s(SalePricing::makeLine({}, {}, m("0.0005"), 1, m("0.5"), 1).unitPrice),
              QStringLiteral("0.0002"));
    EXPECT_EQ(s(SalePricing::makeLine({}, {}, m("0.0015"), 1, m("0.5"), 1).unitPrice),
              QStringLiteral("0.0008"));
    // total ÷ quantity on a tie, either way
    QList<SaleLine> lines{SalePricing::makeLine({}, {}, m("1"), 2, m("1"), 1),
                          SalePricing::makeLine({}, {}, m("1"), 2, m("1"), 2),
                          SalePricing::makeLine({}, {}, m("1"), 3, m("1"), 3)};
    lines[0].total = m("0.0001"); // 0.00005 -> 0
    lines[1].total = m("0.0003"); // 0.00015 -> 0.0002
    lines[2].total = m("1");      // 0.33333... -> 0.3333
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("1.0004"));
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("0"));
    EXPECT_EQ(s(lines[1].unitPrice), QStringLiteral("0.0002"));
    EXPECT_EQ(s(lines[2].unitPrice), QStringLiteral("0.3333"));
    // unit price ÷ list price on a tie: 0.0001 ÷ 2 and 0.0003 ÷ 2
    QList<SaleLine> ties{SalePricing::makeLine({}, {}, m("2"), 1, m("1"), 1),
                         SalePricing::makeLine({}, {}, m("2"), 1, m("1"), 2),
                         SalePricing::makeLine({}, {}, m("3"), 1, m("1"), 3)};
    ties[0].total = m("0.0001");
    ties[1].total = m("0.0003");
    ties[2].total = m("2"); // 0.66666... -> 0.6667
    SalePricing::countPrice(ties);
    EXPECT_EQ(s(ties[0].discount), QStringLiteral("0"));
    EXPECT_EQ(s(ties[1].discount), QStringLiteral("0.0002"));
    EXPECT_EQ(s(ties[2].discount), QStringLiteral("0.6667"));
}

TEST(CountPrice, ListPriceZeroShowsDiscountZeroAndStillCounts) {
    QList<SaleLine> lines{
        SalePricing::makeLine(QStringLiteral("F"), QStringLiteral("赠品"), Money(), 2, m("1"), 9)};
    lines[0].total = m("5");
    EXPECT_EQ(s(SalePricing::countPrice(lines)), QStringLiteral("5"));
    EXPECT_EQ(s(lines[0].unitPrice), QStringLiteral("2.5"));
    EXPECT_EQ(s(lines[0].discount), QStringLiteral("0"));
}

TEST(SaleInput, QuantityBoxesSayTheirRange) {
    const auto field = SalePricing::quantityField(QStringLiteral("退货数量"));
    EXPECT_EQ(TypedNumber::read(QStringLiteral("0"), field).value(), 0);
    EXPECT_EQ(TypedNumber::read(QStringLiteral("999999"), field).value(), 999999);
    EXPECT_EQ(TypedNumber::read(QString(), field).error(), QStringLiteral("请输入数量!"));
    for (const char* bad : {"1000000", "99999999999999999999", "1.5", "-1", "a"})
        EXPECT_EQ(TypedNumber::read(QString::fromLatin1(bad), field).error(),
                  QStringLiteral("退货数量的数字格式不正确: \"%1\"(应为1到999999的整数)")
                      .arg(QString::fromLatin1(bad)))
            << bad;
}
