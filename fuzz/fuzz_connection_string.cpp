#include "FuzzInput.h"
#include "store/Connection.h"

#include <cstdio>
#include <cstdlib>

// Any connection string is parsed into a target or refused with a reason.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const QString text = in.restAsText();
    auto target = ConnectionSpec::parse(text, QStringLiteral("/tmp/shop-fuzz"));
    if (!target) {
        FUZZ_CHECK(!target.error().isEmpty());
        return 0;
    }
    if (target->engine == Engine::Sqlite)
        FUZZ_CHECK(!target->file.isEmpty());
    else
        FUZZ_CHECK(target->port > 0 && target->port < 65536);
    return 0;
}
