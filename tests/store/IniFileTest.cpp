#include "store/IniFile.h"
#include "store/Dialect.h"
#include "store/ShopConfig.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("de.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

} // namespace

TEST(IniFile, MissingFileAndKeysGiveDefaults) {
    QTemporaryDir dir;
    IniFile ini(dir.filePath(QStringLiteral("absent.ini")));
    EXPECT_EQ(ini.read(QStringLiteral("part1"), QStringLiteral("abc"), QStringLiteral("a")),
              QStringLiteral("a"));
    const ShopConfig config = ShopConfig::load(ini);
    EXPECT_EQ(config.kind, QStringLiteral("a"));
    EXPECT_EQ(config.connectionString, QStringLiteral("0"));
    EXPECT_EQ(config.softName, QStringLiteral("0"));
    EXPECT_EQ(config.web, QStringLiteral("0"));
}

TEST(IniFile, NamesMatchWithoutCaseAndValuesStayExact) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "[PART1]\nSoftName=  书店 \ncsaccess=Provider=X;Data "
                                        "Source=a.db\n[part2]\nhyguihuanshitishi=1\n");
    IniFile ini(path);
    EXPECT_EQ(ini.read(QStringLiteral("part1"), QStringLiteral("softname"), QStringLiteral("0")),
              QStringLiteral("  书店 "));
    EXPECT_EQ(ini.read(QStringLiteral("Part1"), QStringLiteral("csAccess"), QStringLiteral("0")),
              QStringLiteral("Provider=X;Data Source=a.db"));
    EXPECT_EQ(
        ini.read(QStringLiteral("part2"), QStringLiteral("HyGuiHuanShiTiShi"), QStringLiteral("0")),
        QStringLiteral("1"));
    // a key of another section is not found
    EXPECT_EQ(ini.read(QStringLiteral("part2"), QStringLiteral("softname"), QStringLiteral("0")),
              QStringLiteral("0"));
}

TEST(IniFile, WritesGoThroughAndKeepOtherLines) {
    QTemporaryDir dir;
    const QString path =
        writeFile(dir, "; shop settings\n[part1]\nabc=a\nTEL=123\n\n[part2]\nx=1\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("Tel"), QStringLiteral("456")));
    ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("ServerName"),
                          QStringLiteral("db.local")));
    ASSERT_TRUE(ini.write(QStringLiteral("part3"), QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(readFile(path).toStdString(), "; shop settings\n[part1]\nabc=a\nTel=456\n"
                                            "ServerName=db.local\n\n[part2]\nx=1\n[part3]\nk=v\n");
    // a second handle sees the write at once
    EXPECT_EQ(IniFile(path).read(QStringLiteral("PART1"), QStringLiteral("tel"), {}),
              QStringLiteral("456"));
}

TEST(IniFile, ServerKindReadsCsSqlOnlyForLowerCaseS) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "[part1]\nabc=s\ncsAccess=ACCESS\ncsSql=SERVER\n");
    EXPECT_EQ(ShopConfig::load(IniFile(path)).connectionString, QStringLiteral("SERVER"));
    writeFile(dir, "[part1]\nabc=S\ncsAccess=ACCESS\ncsSql=SERVER\n");
    const ShopConfig upper = ShopConfig::load(IniFile(path));
    EXPECT_EQ(upper.kind, QStringLiteral("S"));
    EXPECT_EQ(upper.connectionString, QStringLiteral("ACCESS"));
    writeFile(dir, "[part1]\nabc=a\ncsAccess=ACCESS\ncsSql=SERVER\n");
    EXPECT_EQ(ShopConfig::load(IniFile(path)).connectionString, QStringLiteral("ACCESS"));
}

// de.ini files as shops bring them: each encoding and line end is read, and a
// change rewrites only its own line in the file's encoding and line ends.
TEST(IniFile, ReadsAndWritesEachEncodingAndLineEndByteForByte) {
    const QString before =
        QStringLiteral("; 书店设置\n[part1]\nsoftname=书香租售店\ntel=123\n[part2]\nx=1");
    const QString after =
        QStringLiteral("; 书店设置\n[part1]\nsoftname=书香租售店\ntel=电话456\n[part2]\nx=1");
    struct Case {
        const char* name;
        QByteArray bom;
        QStringConverter::Encoding utf; // ignored when gbk
        bool gbk;
        const char* eol;
    };
    const Case cases[] = {
        {"utf8 lf", {}, QStringConverter::Utf8, false, "\n"},
        {"utf8 bom crlf", "\xEF\xBB\xBF", QStringConverter::Utf8, false, "\r\n"},
        {"utf8 cr", {}, QStringConverter::Utf8, false, "\r"},
        {"utf16le bom crlf", "\xFF\xFE", QStringConverter::Utf16LE, false, "\r\n"},
        {"utf16be bom lf", "\xFE\xFF", QStringConverter::Utf16BE, false, "\n"},
        {"gbk crlf", {}, QStringConverter::Utf8, true, "\r\n"},
        {"gbk lf", {}, QStringConverter::Utf8, true, "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto bytesOf = [&](QString text) -> QByteArray {
            text.replace(u'\n', QString::fromLatin1(c.eol));
            if (c.gbk)
                return QByteArray(QStringEncoder("GB18030").encode(text));
            return c.bom + QByteArray(QStringEncoder(c.utf).encode(text));
        };
        QTemporaryDir dir;
        const QString path = writeFile(dir, bytesOf(before));
        IniFile ini(path);
        EXPECT_EQ(ini.read(QStringLiteral("PART1"), QStringLiteral("softname"), {}),
                  QStringLiteral("书香租售店"));
        EXPECT_EQ(ini.read(QStringLiteral("part2"), QStringLiteral("x"), {}), QStringLiteral("1"));
        ASSERT_TRUE(
            ini.write(QStringLiteral("part1"), QStringLiteral("tel"), QStringLiteral("电话456")));
        EXPECT_EQ(readFile(path), bytesOf(after));
        // a new key after the last line, which had no line end, gets the file's own
        ASSERT_TRUE(ini.write(QStringLiteral("part2"), QStringLiteral("y"), QStringLiteral("2")));
        EXPECT_EQ(readFile(path), bytesOf(after + QStringLiteral("\ny=2\n")));
    }
}

TEST(IniFile, MixedLineEndsAndUndecodableBytesOnOtherLinesStayAsTheyWere) {
    QTemporaryDir dir;
    // a GBK file whose comment holds bytes that are no character at all
    const QByteArray odd = "; \x81\x20 odd\r[part1]\r\nabc=a\ntel=1\r\n";
    const QString path = writeFile(dir, odd);
    IniFile ini(path);
    ASSERT_TRUE(ini.write(QStringLiteral("part1"), QStringLiteral("abc"), QStringLiteral("s")));
    EXPECT_EQ(readFile(path), QByteArray("; \x81\x20 odd\r[part1]\r\nabc=s\ntel=1\r\n"));
}

TEST(IniFile, AFileCutInsideACharacterNeverLosesAWriteSilently) {
    for (const QByteArray& cut :
         {QByteArray("[part1]\na=1\xf0"), QByteArray("\xFF\xFE[\0p\0a\0r\0t\0001\0]\0\n", 17)}) {
        QTemporaryDir dir;
        const QString path = writeFile(dir, cut);
        IniFile ini(path);
        const Status written =
            ini.write(QStringLiteral("part1"), QStringLiteral("tel"), QStringLiteral("123"));
        if (written)
            EXPECT_EQ(ini.read(QStringLiteral("part1"), QStringLiteral("tel"), {}),
                      QStringLiteral("123"));
        else
            EXPECT_EQ(readFile(path), cut) << "a refused write leaves the file as it was";
    }
}

TEST(IniFile, ValueWithALineBreakIsRefusedAndNothingWritten) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "[part1]\nsoftname=a\n");
    IniFile ini(path);
    for (const QString& value : {QStringLiteral("a\nb"), QStringLiteral("a\rb")}) {
        const Status written =
            ini.write(QStringLiteral("part1"), QStringLiteral("softname"), value);
        ASSERT_FALSE(written);
        EXPECT_TRUE(written.error().contains(QStringLiteral("换行")));
    }
    EXPECT_EQ(readFile(path), QByteArray("[part1]\nsoftname=a\n"));
}

TEST(IniFile, SeveralKeysAreWrittenAllOrNone) {
    QTemporaryDir dir;
    const QByteArray before("[part1]\nsoftname=a\ntel=1\n");
    const QString path = writeFile(dir, before);
    IniFile ini(path);
    const QString part1 = QStringLiteral("part1");
    // the second value is refused: the first one is not written either
    EXPECT_FALSE(ini.write({{part1, QStringLiteral("softname"), QStringLiteral("新")},
                            {part1, QStringLiteral("tel"), QStringLiteral("2\n3")}}));
    EXPECT_EQ(readFile(path), before);
    ASSERT_TRUE(ini.write({{part1, QStringLiteral("softname"), QStringLiteral("新")},
                           {QStringLiteral("part2"), QStringLiteral("x"), QStringLiteral("1")}}));
    EXPECT_EQ(readFile(path), QByteArray("[part1]\nsoftname=新\ntel=1\n[part2]\nx=1\n"));
}

TEST(Dialect, QuoteAndDateDelimiterPerKind) {
    EXPECT_EQ(SqlQuoteChar(QStringLiteral("a")), QStringLiteral("\""));
    EXPECT_EQ(SqlDateDelimiter(QStringLiteral("a")), QStringLiteral("#"));
    EXPECT_EQ(SqlQuoteChar(QStringLiteral("s")), QStringLiteral("'"));
    EXPECT_EQ(SqlDateDelimiter(QStringLiteral("s")), QStringLiteral("'"));
    EXPECT_EQ(SqlQuoteChar(QStringLiteral("S")), QString());
    EXPECT_EQ(SqlDateDelimiter(QStringLiteral("S")), QString());
    EXPECT_EQ(SqlQuoteChar(QString()), QString());
    EXPECT_EQ(SqlDateDelimiter(QString()), QString());
}
