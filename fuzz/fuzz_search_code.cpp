#include "FuzzInput.h"
#include "store/Pinyin.h"

#include <cstdio>
#include <cstdlib>

// The search code has one upper-case letter or blank per pair of GBK bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const QString name = in.restAsUtf16();
    const QString code = PinyinCode(name);
    FUZZ_CHECK(code.size() == toGbk(name).size() / 2);
    for (QChar c : code)
        FUZZ_CHECK(c == u' ' || (c >= u'A' && c <= u'Z'));
    const QByteArray bytes = toGbk(name);
    const QChar first = PinyinInitial(bytes.left(2));
    FUZZ_CHECK(first == u' ' || (first >= u'A' && first <= u'Z'));
    return 0;
}
