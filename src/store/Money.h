#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <limits>
#include <optional>

// An exact amount of money (also used for discounts and points): a 64-bit
// count of ten-thousandths. Results with more than four places are rounded
// half to even, so 0.00005 becomes 0 and 0.00015 becomes 0.0002.
//
// Arithmetic is checked: a result beyond what the engines store (a signed
// 64-bit count of ten-thousandths, about ±922 337 203 685 477 元) is an
// overflow, not a wrapped value. An overflow stays an overflow through any
// further arithmetic, reads "溢出", and the data layer refuses to store it.
class Money {
public:
    static constexpr std::int64_t Scale = 10000;
    static constexpr std::int64_t MaxUnits = std::numeric_limits<std::int64_t>::max();

    constexpr Money() = default;
    // Out-of-range counts give an overflow.
    static constexpr Money fromUnits(std::int64_t tenThousandths) { return Money(tenThousandths); }
    static constexpr Money fromInt(std::int64_t whole) {
        std::int64_t units = 0;
        return __builtin_mul_overflow(whole, Scale, &units) ? overflow() : Money(units);
    }
    static constexpr Money overflow() { return Money(OverflowUnits); }

    // Decimal text with an optional sign and at most one ".": "12", "-3.5",
    // "0.8097", ".5", "12.". More than four decimals are rounded half to even.
    // Anything else ("", ".", "1.2.3", "1e5", "12a", " 1", "1,000") is refused.
    static std::optional<Money> parse(QStringView text);

    constexpr bool isValid() const { return m_units != OverflowUnits; }
    constexpr std::int64_t units() const { return m_units; }
    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }
    double toDouble() const { return double(m_units) / double(Scale); }

    // Told when a stored value is beyond what an amount holds (another
    // tool, an import or an old file can write one): names where it stands,
    // e.g. table 会员库, column 会员积分, row "会员卡号 A001".
    static QString unreadableMessage(const QString& table, const QString& column,
                                     const QString& row);
    // The same for a sum or figure over many rows.
    static QString sumOutOfRangeMessage(const QString& figure);

    // Shortest form: no thousands separator, "." as the point, no trailing
    // zeros: "12.5", "10", "-3", "0.8097". An overflow reads "溢出".
    QString toString() const;

    constexpr Money operator-() const { return isValid() ? Money(-m_units) : overflow(); }
    constexpr Money operator+(Money o) const {
        std::int64_t r = 0;
        const bool overflowed = __builtin_add_overflow(m_units, o.m_units, &r);
        return checked(o, overflowed, r);
    }
    constexpr Money operator-(Money o) const {
        std::int64_t r = 0;
        const bool overflowed = __builtin_sub_overflow(m_units, o.m_units, &r);
        return checked(o, overflowed, r);
    }
    constexpr Money& operator+=(Money o) { return *this = *this + o; }
    constexpr Money& operator-=(Money o) { return *this = *this - o; }
    constexpr Money operator*(std::int64_t n) const {
        std::int64_t r = 0;
        const bool overflowed = __builtin_mul_overflow(m_units, n, &r);
        return checked(*this, overflowed, r);
    }

    // Product of two four-place values, rounded half to even to four places.
    Money operator*(Money o) const;
    // Quotient rounded half to even to four places; nullopt when dividing by zero.
    std::optional<Money> dividedBy(Money divisor) const;
    std::optional<Money> dividedBy(std::int64_t divisor) const;

    constexpr auto operator<=>(const Money&) const = default;

private:
    // The one count no amount has, so that negation stays in range.
    static constexpr std::int64_t OverflowUnits = std::numeric_limits<std::int64_t>::min();
    constexpr explicit Money(std::int64_t units) : m_units(units) {}
    constexpr Money checked(Money other, bool overflowed, std::int64_t result) const {
        if (overflowed || !isValid() || !other.isValid())
            return overflow();
        return Money(result);
    }
    std::int64_t m_units = 0;
};

Q_DECLARE_METATYPE(Money)
