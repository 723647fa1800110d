#include "FuzzInput.h"
#include "store/Money.h"

#include <cstdio>
#include <cstdlib>

// Money parsing round-trips through the shortest text form, and arithmetic
// on amounts a shop can hold (up to a hundred billion) is exact.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    constexpr std::int64_t Bound = 100'000'000'000LL * Money::Scale;
    const auto bounded = [](std::int64_t v) { return v % Bound; };
    const Money a = Money::fromUnits(bounded(in.take<std::int64_t>()));
    const Money b = Money::fromUnits(bounded(in.take<std::int64_t>()));
    const std::int64_t n = in.take<std::int32_t>() % 1000;

    FUZZ_CHECK((a + b) - b == a);
    FUZZ_CHECK(-(-a) == a);
    FUZZ_CHECK((a * n).units() == a.units() * n);
    FUZZ_CHECK(a * Money::fromInt(1) == a);
    if (!b.isZero()) {
        const auto q = a.dividedBy(b);
        FUZZ_CHECK(q.has_value());
    }
    FUZZ_CHECK(!a.dividedBy(Money()).has_value());
    FUZZ_CHECK(Money::parse(a.toString()) == a);

    const QString text = in.restAsText();
    if (const auto parsed = Money::parse(text)) {
        const QString shortest = parsed->toString();
        FUZZ_CHECK(Money::parse(shortest) == parsed);
        FUZZ_CHECK(!shortest.endsWith(u'.'));
        FUZZ_CHECK(!shortest.contains(u'.') || !shortest.endsWith(u'0'));
    }
    return 0;
}
