#include "FuzzInput.h"
#include "store/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// Any de.ini is read without harm, and writing a key then reading it gives
// the value back, whatever else the file holds.
namespace {

QTemporaryDir* folder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = QDir(folder->path()).filePath(QStringLiteral("de.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    IniFile ini(path);
    for (const char* key : {"abc", "csAccess", "csSql", "softname", "Company"})
        (void)ini.read(QStringLiteral("part1"), QString::fromLatin1(key), QStringLiteral("-"));
    (void)ini.read(QStringLiteral("part2"), QStringLiteral("HyGuiHuanShiTiShi"), {});

    // A write reads back or is refused, whatever the file. A file cut in the
    // middle of a character (no line end after its last line, or a UTF-16
    // file of odd length) may refuse it, since a key added after the cut
    // bytes would read back as other characters; any other file takes it.
    const bool utf16 =
        size >= 2 && ((data[0] == 0xff && data[1] == 0xfe) || (data[0] == 0xfe && data[1] == 0xff));
    const bool endsWithLine = utf16 ? size % 2 == 0 && size >= 4 &&
                                          ((data[size - 2] == '\n' && data[size - 1] == 0) ||
                                           (data[size - 2] == 0 && data[size - 1] == '\n'))
                                    : size > 0 && data[size - 1] == '\n';
    const bool cut = size > 0 && !endsWithLine;
    const QString value = QStringLiteral("Provider=SQLOLEDB.1;Data Source=主机;");
    if (ini.write(QStringLiteral("part1"), QStringLiteral("csSql"), value)) {
        FUZZ_CHECK(ini.read(QStringLiteral("part1"), QStringLiteral("csSql"), {}) == value);
        const bool wrote =
            ini.write(QStringLiteral("fuzz"), QStringLiteral("k"), QStringLiteral("v")).ok();
        FUZZ_CHECK(wrote || cut);
        if (wrote)
            FUZZ_CHECK(ini.read(QStringLiteral("fuzz"), QStringLiteral("k"), {}) == u"v");
        FUZZ_CHECK(ini.read(QStringLiteral("part1"), QStringLiteral("csSql"), {}) == value);
    }
    return 0;
}
