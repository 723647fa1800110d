#include "FuzzInput.h"
#include "store/Connection.h"

#include <cstdio>
#include <cstdlib>

// Any connection string is parsed into a target or refused with a reason.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const QString text = in.restAsText();
    auto spec = ConnectionSpec::parse(text, QStringLiteral("/tmp/shop-fuzz"));
    if (!spec) {
        FUZZ_CHECK(!spec.error().isEmpty());
        return 0;
    }
    if (spec->engine == Engine::Sqlite)
        FUZZ_CHECK(!spec->file.isEmpty());
    else
        FUZZ_CHECK(spec->port > 0 && spec->port < 65536);
    return 0;
}
