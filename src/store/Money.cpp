#include "store/Money.h"

#include <limits>

namespace {

// numerator / denominator rounded half to even; denominator != 0. A
// quotient outside the range of an amount gives an overflow.
Money divideHalfEven(__int128 numerator, __int128 denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    __int128 quotient = numerator / denominator;
    __int128 remainder = numerator % denominator;
    if (remainder != 0) {
        const __int128 twice = (remainder < 0 ? -remainder : remainder) * 2;
        const int direction = numerator < 0 ? -1 : 1;
        if (twice > denominator || (twice == denominator && (quotient % 2 != 0)))
            quotient += direction;
    }
    if (quotient > Money::MaxUnits || quotient < -Money::MaxUnits)
        return Money::overflow();
    return Money::fromUnits(static_cast<std::int64_t>(quotient));
}

} // namespace

std::optional<Money> Money::parse(QStringView text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    __int128 digits = 0; // all digits read, as one integer
    int decimals = 0;
    int digitCount = 0;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.') {
            if (seenPoint)
                return std::nullopt;
            seenPoint = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (digitCount >= 30)
            return std::nullopt;
        digits = digits * 10 + (c.unicode() - u'0');
        ++digitCount;
        if (seenPoint)
            ++decimals;
    }
    if (digitCount == 0)
        return std::nullopt;
    __int128 scaled = digits;
    for (int d = decimals; d < 4; ++d)
        scaled *= 10;
    if (decimals > 4) {
        __int128 divisor = 1;
        for (int d = 4; d < decimals; ++d)
            divisor *= 10;
        const Money rounded = divideHalfEven(scaled, divisor);
        if (!rounded.isValid())
            return std::nullopt;
        scaled = rounded.units();
    }
    if (scaled > MaxUnits)
        return std::nullopt;
    const auto units = static_cast<std::int64_t>(scaled);
    return Money(negative ? -units : units);
}

QString Money::unreadableMessage(const QString& table, const QString& column, const QString& row) {
    return QStringLiteral("%1 中 %2 的 %3 超出程序能处理的范围 (最大 922337203685477.5807), "
                          "不能在其上登记. 请先改正这个值.")
        .arg(table, row, column);
}

QString Money::sumOutOfRangeMessage(const QString& figure) {
    return QStringLiteral("%1 超出程序能处理的范围 (最大 922337203685477.5807), 不能计算.")
        .arg(figure);
}

QString Money::toString() const {
    if (!isValid())
        return QStringLiteral("溢出");
    const bool negative = m_units < 0;
    // Work in unsigned so that the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(m_units) : std::uint64_t(m_units);
    QString text = QString::number(magnitude / Scale);
    std::uint64_t fraction = magnitude % Scale;
    if (fraction != 0) {
        QString places = QString::number(fraction).rightJustified(4, u'0');
        while (places.endsWith(u'0'))
            places.chop(1);
        text += u'.' + places;
    }
    return negative ? u'-' + text : text;
}

Money Money::operator*(Money o) const {
    if (!isValid() || !o.isValid())
        return overflow();
    return divideHalfEven(__int128(m_units) * o.m_units, Scale);
}

std::optional<Money> Money::dividedBy(Money divisor) const {
    if (divisor.m_units == 0)
        return std::nullopt;
    if (!isValid() || !divisor.isValid())
        return overflow();
    return divideHalfEven(__int128(m_units) * Scale, divisor.m_units);
}

std::optional<Money> Money::dividedBy(std::int64_t divisor) const {
    if (divisor == 0)
        return std::nullopt;
    if (!isValid())
        return overflow();
    return divideHalfEven(m_units, divisor);
}
