#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>

// An exact amount of money (also used for discounts and points): a 64-bit
// count of ten-thousandths. Results with more than four places are rounded
// half to even, so 0.00005 becomes 0 and 0.00015 becomes 0.0002.
class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths) { return Money(tenThousandths); }
    static constexpr Money fromInt(std::int64_t whole) { return Money(whole * Scale); }

    // Decimal text with an optional sign and at most one ".": "12", "-3.5",
    // "0.8097", ".5", "12.". More than four decimals are rounded half to even.
    // Anything else ("", ".", "1.2.3", "1e5", "12a", " 1", "1,000") is refused.
    static std::optional<Money> parse(QStringView text);

    constexpr std::int64_t units() const { return m_units; }
    constexpr bool isZero() const { return m_units == 0; }
    constexpr bool isNegative() const { return m_units < 0; }
    double toDouble() const { return double(m_units) / double(Scale); }

    // Shortest form: no thousands separator, "." as the point, no trailing
    // zeros: "12.5", "10", "-3", "0.8097".
    QString toString() const;

    constexpr Money operator-() const { return Money(-m_units); }
    constexpr Money operator+(Money o) const { return Money(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return Money(m_units - o.m_units); }
    constexpr Money& operator+=(Money o) {
        m_units += o.m_units;
        return *this;
    }
    constexpr Money& operator-=(Money o) {
        m_units -= o.m_units;
        return *this;
    }
    constexpr Money operator*(std::int64_t n) const { return Money(m_units * n); }

    // Product of two four-place values, rounded half to even to four places.
    Money operator*(Money o) const;
    // Quotient rounded half to even to four places; nullopt when dividing by zero.
    std::optional<Money> dividedBy(Money divisor) const;
    std::optional<Money> dividedBy(std::int64_t divisor) const;

    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t units) : m_units(units) {}
    std::int64_t m_units = 0;
};

Q_DECLARE_METATYPE(Money)
