#include "FuzzInput.h"
#include "store/Money.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

// Money arithmetic over the whole 64-bit range is exact or an overflow,
// never a wrapped value; parsing round-trips through the shortest text form.
namespace {

bool fits(__int128 exact) {
    return exact > std::numeric_limits<std::int64_t>::min() &&
           exact <= std::numeric_limits<std::int64_t>::max();
}

void checkResult(Money a, Money b, Money result, __int128 exact) {
    if (!a.isValid() || !b.isValid()) {
        FUZZ_CHECK(!result.isValid());
        return;
    }
    FUZZ_CHECK(result.isValid() == fits(exact));
    if (result.isValid())
        FUZZ_CHECK(result.units() == exact);
}

void checkRounded(Money result, __int128 truncated) {
    constexpr __int128 Max = Money::MaxUnits;
    if (!result.isValid()) {
        FUZZ_CHECK(truncated >= Max || truncated <= -Max);
        return;
    }
    const __int128 off = __int128(result.units()) - truncated;
    FUZZ_CHECK(off >= -1 && off <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const Money a = Money::fromUnits(in.take<std::int64_t>());
    const Money b = Money::fromUnits(in.take<std::int64_t>());
    const std::int64_t n = in.take<std::int64_t>();

    checkResult(a, b, a + b, __int128(a.units()) + b.units());
    checkResult(a, b, a - b, __int128(a.units()) - b.units());
    checkResult(a, a, a * n, __int128(a.units()) * n);
    checkResult(a, a, -a, -__int128(a.units()));
    if (a.isValid() && b.isValid()) {
        // rounded results: within one unit of the truncated exact value, or
        // an overflow exactly when that value lies at or beyond the range
        checkRounded(a * b, __int128(a.units()) * b.units() / Money::Scale);
        if (!b.isZero()) {
            const auto q = a.dividedBy(b);
            FUZZ_CHECK(q.has_value());
            checkRounded(*q, __int128(a.units()) * Money::Scale / b.units());
        }
        FUZZ_CHECK(!a.dividedBy(Money()).has_value());
        FUZZ_CHECK(Money::parse(a.toString()) == a);
    }

    const QString text = in.restAsText();
    if (const auto parsed = Money::parse(text)) {
        const QString shortest = parsed->toString();
        FUZZ_CHECK(Money::parse(shortest) == parsed);
        FUZZ_CHECK(!shortest.endsWith(u'.'));
        FUZZ_CHECK(!shortest.contains(u'.') || !shortest.endsWith(u'0'));
    }
    return 0;
}
