#include "store/IniFile.h"
#include "store/Dialect.h"
#include "store/ShopConfig.h"

#include <QFile>
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
