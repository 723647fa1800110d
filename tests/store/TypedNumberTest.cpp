#include "store/TypedNumber.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace TypedNumber;

Money m(const char* text) {
    return *Money::parse(QString::fromLatin1(text));
}

// The reading of one field: the value as text, or the error.
using Reader = std::function<QString(const QString&)>;
template <typename T> Reader reading(Field<T> field) {
    return [field](const QString& typed) -> QString {
        auto value = read(typed, field);
        if (!value)
            return value.error();
        if constexpr (std::is_same_v<T, Money>)
            return QStringLiteral("= ") + value->toString();
        else
            return QStringLiteral("= ") + QString::number(value.value());
    };
}

} // namespace

TEST(TypedNumberTest, EachFieldReadsWithItsBoundsAndSaysFaultsInItsOwnWords) {
    const Reader price = reading(boxAmount(QStringLiteral("定价")));
    const Reader required = reading(boxAmount(QStringLiteral("定价"), std::nullopt));
    const Reader unnamed = reading(boxAmount(QString()));
    const Reader count = reading(boxWhole(QStringLiteral("数量")));
    const Reader item = reading(itemAmount(QStringLiteral("定价"), Money::fromInt(100000000)));
    const Reader stock = reading(itemCount(QStringLiteral("进货数量"), 999999));
    const Reader one = reading(sayingOnly<qint64>(QStringLiteral("请输入正确的金额!"), 1, 99));
    const struct {
        const Reader* reader;
        const char* typed;
        const char* said;
    } cases[] = {
        {&price, "12.", "= 12"},
        {&price, " 12.5 ", "= 12.5"},
        {&price, ".5", "= 0.5"},
        {&price, "0.00015", "= 0.0002"}, // half to even
        {&price, "", "= 0"},
        {&price, "-3", "= -3"}, // a correction may go below zero
        {&price, ".", "定价的数字格式不正确: \".\""},
        {&price, "1.2.3", "定价的数字格式不正确: \"1.2.3\""},
        {&price, "+5", "定价的数字格式不正确: \"+5\""},
        {&price, "1e5", "定价的数字格式不正确: \"1e5\""},
        {&price, "1,000", "定价的数字格式不正确: \"1,000\""},
        {&price, "３", "定价的数字格式不正确: \"３\""},
        {&price, "100000000", "= 100000000"},
        {&price, "100000000.0001", "定价超出范围, 最大只能是 100000000"},
        {&price, "-100000001", "定价超出范围, 最大只能是 100000000"},
        {&price, "99999999999999999999999999999999", "定价超出范围, 最大只能是 100000000"},
        {&required, " ", "请输入定价!"},
        {&unnamed, "", "= 0"},
        {&unnamed, "1..", "数字格式不正确: \"1..\""},
        {&unnamed, "1000000000", "数字超出范围, 最大只能是 100000000"},
        {&count, "007", "= 7"},
        {&count, "999999999", "= 999999999"},
        {&count, "1000000000", "数量超出范围, 最大只能是 999999999"},
        {&count, "99999999999999999999999", "数量超出范围, 最大只能是 999999999"},
        {&count, "1.5", "数量的数字格式不正确: \"1.5\""},
        {&count, "+5", "数量的数字格式不正确: \"+5\""},
        {&item, "", "字体加重的项目必须填写!"},
        {&item, "-1", "定价的数字格式不正确: \"-1\""},
        {&item, "100000001", "定价不能超过100000000!"},
        {&stock, "2.5", "进货数量的数字格式不正确: \"2.5\""},
        {&stock, "-0", "进货数量的数字格式不正确: \"-0\""},
        {&stock, "1000000", "进货数量不能超过999999!"},
        {&one, "", "请输入正确的金额!"},
        {&one, "0", "请输入正确的金额!"},
        {&one, "100", "请输入正确的金额!"},
        {&one, "99", "= 99"},
    };
    for (const auto& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        EXPECT_EQ((*c.reader)(typed), QString::fromUtf8(c.said)) << c.typed;
    }
}

TEST(TypedNumberTest, TheTypedTextIsQuotedAsItStandsEvenWithPlaceMarkers) {
    const auto value = read(QStringLiteral(" %2x "), boxAmount(QStringLiteral("折扣")));
    ASSERT_FALSE(value);
    EXPECT_EQ(value.error(), QStringLiteral("折扣的数字格式不正确: \" %2x \""));
    EXPECT_EQ(read(QStringLiteral("0.85"), itemAmount(QStringLiteral("折扣"), m("1"))).value(),
              m("0.85"));
}
