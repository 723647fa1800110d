// The Access file reader and the picture bytes, without a database.

#include "tools/core/MdbReader.h"
#include "tools/core/LegacyImport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

const QString Fixtures = QStringLiteral(SHOP_LEGACY_FIXTURES);

TEST(MdbReader, ReadsEveryTableWithItsColumnsTypesAndLiveRows) {
    QFile json(Fixtures + QStringLiteral("/old-shop.expected.json"));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject tables =
        QJsonDocument::fromJson(json.readAll()).object().value(u"tables").toObject();
    auto file = MdbReader::open(Fixtures + QStringLiteral("/old-shop.mdb"));
    ASSERT_TRUE(file.ok()) << file.error().toStdString();
    EXPECT_EQ(file.value()->tables().size(), tables.size());
    for (auto it = tables.begin(); it != tables.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        auto table = file.value()->table(it.key());
        ASSERT_TRUE(table.ok()) << table.error().toStdString();
        QStringList want, got;
        for (const QJsonValue& c : it.value().toObject().value(u"columns").toArray())
            want << c.toObject().value(u"name").toString() + u' ' +
                        c.toObject().value(u"access").toString();
        for (const MdbColumnInfo& c : table.value()->columns())
            got << c.name + u' ' + c.accessName();
        EXPECT_EQ(got, want);
        QList<MdbValue> values;
        qint64 rows = 0;
        for (;;) {
            auto more = table.value()->next(values);
            ASSERT_TRUE(more.ok()) << more.error().toStdString();
            if (!more.value())
                break;
            ++rows;
            EXPECT_EQ(values.size(), got.size());
        }
        EXPECT_EQ(rows, it.value().toObject().value(u"rows").toInteger());
        EXPECT_EQ(table.value()->rowCount(), rows);
    }
}

// An embedded "Paint.Picture" object as Access wraps one: the object
// header, the OLE 1.0 stream with its names, the native data, and the
// presentation after it.
QByteArray wrapped(const QByteArray& native) {
    QByteArray out;
    auto u16 = [&](quint16 v) { out.append(char(v & 0xff)).append(char(v >> 8)); };
    auto u32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    const QByteArray name("Bitmap Image\0", 13), cls("Paint.Picture\0", 14);
    u16(0x1c15);
    u16(quint16(20 + name.size() + cls.size()));
    u32(2);
    u16(quint16(name.size()));
    u16(quint16(cls.size()));
    u16(20);
    u16(quint16(20 + name.size()));
    u32(0xffffffff);
    out.append(name).append(cls);
    u32(0x0501);
    u32(2);
    u32(quint32(cls.size()));
    out.append(cls);
    u32(0);
    u32(0);
    u32(quint32(native.size()));
    out.append(native);
    out.append(QByteArray("\x01\x05\0\0presentation", 16));
    return out;
}

QByteArray bitmap() {
    QByteArray bmp("BM", 2);
    bmp.append(QByteArray(68, '\x11'));
    qToLittleEndian<quint32>(70, bmp.data() + 2);
    return bmp;
}

TEST(LegacyPicture, AnOleWrapperIsTakenOffAndOtherBytesStayAsTheyAre) {
    const QByteArray bmp = bitmap();
    EXPECT_EQ(LegacyImport::withoutOleWrapper(wrapped(bmp)), bmp);
    // a package: the picture inside, after the package's own fields
    EXPECT_EQ(LegacyImport::withoutOleWrapper(wrapped(QByteArray("\x02\0cover.bmp\0", 12) + bmp)),
              bmp);
    EXPECT_EQ(LegacyImport::withoutOleWrapper(bmp), bmp);
    const QByteArray notPicture = wrapped(QByteArray("just some words"));
    EXPECT_EQ(LegacyImport::withoutOleWrapper(notPicture), notPicture);
    EXPECT_FALSE(LegacyImport::isPicture(notPicture));
    EXPECT_TRUE(LegacyImport::isPicture(bmp));
    EXPECT_TRUE(LegacyImport::isPicture(QByteArray("\xff\xd8\xff\xe0", 4)));
    EXPECT_TRUE(LegacyImport::withoutOleWrapper(QByteArray("", 0)).isEmpty());
}

} // namespace
