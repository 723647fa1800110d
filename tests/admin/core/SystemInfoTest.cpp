#include "admin/core/SystemInfo.h"
#include "store/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString iniWith(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = dir.filePath(QStringLiteral("de.ini"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    return path;
}

} // namespace

TEST(SystemInfo, ReturnPromptIsReadAsTheReturnWindowReadsIt) {
    QTemporaryDir dir;
    const QList<std::pair<const char*, bool>> cases = {
        {"", false}, // no key: the default "0"
        {"HyGuiHuanShiTiShi=1", true},
        {"hyguihuanshitishi=-1", true},
        {"HyGuiHuanShiTiShi=True", true},
        {"HyGuiHuanShiTiShi=0", false},
        {"HyGuiHuanShiTiShi=是", false},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        const QString path =
            iniWith(dir, QByteArray("[part1]\nSoftName=店\n[part2]\n") + line + "\n");
        EXPECT_EQ(SystemInfo::readReturnPrompt(path), expected);
    }
}

TEST(SystemInfo, SaveTrimsAndKeepsTheOtherLines) {
    QTemporaryDir dir;
    const QString path = iniWith(dir, "; shop\n[part1]\nsoftname=旧店\nabc=a\ncsAccess=x.db\n");
    ASSERT_TRUE(SystemInfo::save(path, {QStringLiteral("  新书屋 "), QStringLiteral(" 010-1 "),
                                        QStringLiteral("\t北京路 1 号 "), true})
                    .ok());
    const IniFile ini(path);
    EXPECT_EQ(ini.read("part1", "softname", "?"), QStringLiteral("新书屋"));
    EXPECT_EQ(ini.read("part1", "Tel", "?"), QStringLiteral("010-1"));
    EXPECT_EQ(ini.read("part1", "Addr", "?"), QStringLiteral("北京路 1 号"));
    EXPECT_EQ(ini.read("part2", "HyGuiHuanShiTiShi", "?"), QStringLiteral("1"));
    EXPECT_EQ(ini.read("part1", "csAccess", "?"), QStringLiteral("x.db"));
    EXPECT_TRUE(SystemInfo::readReturnPrompt(path));

    ASSERT_TRUE(SystemInfo::save(path, {"a", "b", "c", false}).ok());
    EXPECT_EQ(ini.read("part2", "HyGuiHuanShiTiShi", "?"), QStringLiteral("0"));
    EXPECT_FALSE(SystemInfo::save(dir.filePath("missing/de.ini"), {}).ok());
}

TEST(SystemInfo, DatabaseKindTexts) {
    EXPECT_EQ(SystemInfo::databaseKindText("s"), QStringLiteral("当前数据库是SqlServer"));
    EXPECT_EQ(SystemInfo::databaseKindText("a"), QStringLiteral("当前数据库是:Access"));
    EXPECT_EQ(SystemInfo::databaseKindText("S"), QString());
}
