#include "FuzzInput.h"
#include "store/TypedNumber.h"

#include <cstdio>
#include <cstdlib>

// Whatever is typed, the reader gives a value within the field's bounds or
// one of the field's own texts; an amount it reads is read back the same
// from its shortest form, and a refused text is never taken by a wider field.
namespace {

bool onlyDigitsAndPoint(const QString& text) {
    for (QChar c : text.trimmed())
        if ((c < u'0' || c > u'9') && c != u'.' && c != u'-')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t choice = in.take<std::uint8_t>();
    const QString text = in.restAsUtf16();
    const bool required = choice & 2;
    const TypedNumber::Texts sayings{QStringLiteral("M"), QStringLiteral("F%1"),
                                     QStringLiteral("B%1"), QStringLiteral("A%1")};
    auto said = [&](const QString& error) {
        return error == sayings.missing || error == u'F' + text || error == u'B' + text ||
               error == u'A' + text;
    };

    if (choice & 1) {
        const TypedNumber::AmountField narrow{Money(), Money::fromInt(1000),
                                              required ? std::nullopt : std::optional(Money()),
                                              sayings};
        const auto value = TypedNumber::read(text, narrow);
        if (value) {
            FUZZ_CHECK(value.value() >= narrow.least && value.value() <= narrow.most);
            FUZZ_CHECK(onlyDigitsAndPoint(text));
            FUZZ_CHECK(TypedNumber::read(value->toString(), narrow).value() == value.value());
        } else {
            FUZZ_CHECK(said(value.error()));
        }
        const auto box = TypedNumber::read(text, TypedNumber::boxAmount(QStringLiteral("金额")));
        if (value)
            FUZZ_CHECK(box && box.value() == value.value());
        else
            FUZZ_CHECK(box || !box.error().isEmpty());
    } else {
        const TypedNumber::WholeField narrow{-50, 1000, required ? std::nullopt : std::optional(0),
                                             sayings};
        const auto value = TypedNumber::read(text, narrow);
        if (value) {
            FUZZ_CHECK(value.value() >= narrow.least && value.value() <= narrow.most);
            FUZZ_CHECK(onlyDigitsAndPoint(text) && !text.contains(u'.'));
        } else {
            FUZZ_CHECK(said(value.error()));
        }
        const auto box = TypedNumber::read(text, TypedNumber::boxWhole(QStringLiteral("数量")));
        if (value)
            FUZZ_CHECK(box && box.value() == value.value());
        else
            FUZZ_CHECK(box || !box.error().isEmpty());
    }
    return 0;
}
