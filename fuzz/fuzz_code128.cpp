#include "FuzzInput.h"
#include "output/core/Code128.h"

#include <cstdio>
#include <cstdlib>

// Any text is encoded or refused; an encoded symbol has start, one value per
// character, the check (start + Σ position × value, mod 103) and stop, and
// its width is 11 modules per character plus 13 for the stop.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const QString text = in.restAsUtf16();
    auto symbol = Code128::encodeA(text);
    if (!symbol) {
        FUZZ_CHECK(!symbol.error().isEmpty());
        return 0;
    }
    const Code128::Symbol& s = symbol.value();
    FUZZ_CHECK(s.values.size() == text.size() + 3);
    FUZZ_CHECK(s.values.first() == Code128::StartA && s.values.last() == Code128::Stop);
    int check = Code128::StartA;
    for (qsizetype i = 0; i < text.size(); ++i) {
        FUZZ_CHECK(s.values[i + 1] == Code128::valueInSetA(text[i]));
        check += int(i + 1) * s.values[i + 1];
    }
    FUZZ_CHECK(s.checkValue() == check % 103);
    int modules = 0;
    for (int w : s.widths) {
        FUZZ_CHECK(w >= 1 && w <= 4);
        modules += w;
    }
    FUZZ_CHECK(modules == s.modules);
    FUZZ_CHECK(s.modules == 11 * int(text.size() + 2) + 13);
    return 0;
}
