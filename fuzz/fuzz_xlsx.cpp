#include "FuzzInput.h"
#include "output/core/XlsxReader.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <cstdio>
#include <cstdlib>

// Any file is opened as a workbook or refused with a message; every sheet
// of an opened one is read or refused with a message. Rows come with their
// number in the sheet's bounds, cells within the sheet's columns, each a
// plain value, the last one never empty.
namespace {

QTemporaryDir* folder = nullptr;

bool plain(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::Double:
    case QMetaType::Bool:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return true;
    default:
        return v.isNull();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = QDir(folder->path()).filePath(QStringLiteral("book.xlsx"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    auto book = XlsxReader::open(path);
    if (!book) {
        FUZZ_CHECK(!book.error().isEmpty());
        return 0;
    }
    for (int sheet = 0; sheet < book->sheetNames().size(); ++sheet) {
        Status read = book->forEachRow(sheet, [](int number, const XlsxBook::Row& cells) {
            FUZZ_CHECK(number >= 1 && number <= 1048576);
            FUZZ_CHECK(!cells.isEmpty() && cells.size() <= 16384);
            FUZZ_CHECK(!cells.last().isNull());
            for (const QVariant& v : cells)
                FUZZ_CHECK(plain(v));
            return true;
        });
        if (!read)
            FUZZ_CHECK(!read.error().isEmpty());
    }
    return 0;
}
