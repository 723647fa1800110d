#pragma once

#include "store/Money.h"
#include "store/Result.h"

#include <QString>
#include <optional>

// The one reader of typed numbers: a box's text, or the text a booking is
// given, read against the bounds and the message texts of its field.
// Leading and trailing blanks do not count. An amount is digits with at most
// one point ("12", "12.", ".5", "0.8097"; more than four places round half
// to even), a whole number digits only; a "-" may lead only where the field
// allows values below zero, a "+" never. Anything else is malformed; a
// well-formed number outside the field's bounds (however many digits it has)
// is below or above them.
namespace TypedNumber {

// What a field says. In malformed, below and above, "%1" stands for the
// text as typed.
struct Texts {
    QString missing;
    QString malformed;
    QString below;
    QString above;
};

template <typename T> struct Field {
    T least;
    T most;
    std::optional<T> whenEmpty; // nullopt: the field must be filled in
    Texts texts;
};
using AmountField = Field<Money>;
using WholeField = Field<qint64>;

Result<Money> read(const QString& typed, const AmountField& field);
Result<qint64> read(const QString& typed, const WholeField& field);

// What a number box holds at most (either sign): far beyond any amount or
// count of a shop, and far from what the engines can hold, so sums and
// products of typed values cannot overflow.
inline constexpr qint64 BoxMaxAmount = 100'000'000; // 一亿元
inline constexpr qint64 BoxMaxWhole = 999'999'999;

// A number box named `name` (may be empty): "请输入定价!",
// "定价的数字格式不正确: \"1.2.3\"", "定价超出范围, 最大只能是 100000000".
AmountField boxAmount(const QString& name, std::optional<Money> whenEmpty = Money{});
WholeField boxWhole(const QString& name, std::optional<qint64> whenEmpty = 0);

// A bold (required) item of an add or edit window, never below 0:
// "字体加重的项目必须填写!", "定价的数字格式不正确: \"-1\"", "定价不能超过100000000!".
AmountField itemAmount(const QString& name, Money most,
                       std::optional<Money> whenEmpty = std::nullopt);
WholeField itemCount(const QString& name, qint64 most);

// A field that says every fault with one text (empty text included).
template <typename T> Field<T> sayingOnly(const QString& text, T least, T most) {
    return Field<T>{least, most, std::nullopt, Texts{text, text, text, text}};
}

} // namespace TypedNumber
