#include "store/Pinyin.h"

#include <gtest/gtest.h>

namespace {
std::string code(const char* name) {
    return PinyinCode(QString::fromUtf8(name)).toStdString();
}
QByteArray bytes(unsigned high, unsigned low) {
    QByteArray b;
    b.append(char(high));
    b.append(char(low));
    return b;
}
} // namespace

TEST(Pinyin, CodesOfChineseNames) {
    EXPECT_EQ(code("出租"), "CZ");
    EXPECT_EQ(code("图书"), "TS");
    EXPECT_EQ(code("光盘出租"), "GPCZ");
    EXPECT_EQ(code("红楼梦"), "HLM");
    EXPECT_EQ(code("平凡的世界"), "PFDSJ");
}

TEST(Pinyin, AsciiAndOddBytes) {
    EXPECT_EQ(code("ab12"), "  ");
    EXPECT_EQ(code(""), "");
    EXPECT_EQ(code("a"), "");
    // "a" + 出: the pair ("a", first byte of 出) is no character; the last byte is dropped
    EXPECT_EQ(code("a出"), " ");
    // the letter shifts every pair after it
    EXPECT_EQ(code("a出租").size(), 2u);
}

TEST(Pinyin, SecondLevelAndExtensionCharactersGiveBlank) {
    // 亍 is a second-level character (first byte 0xD8)
    EXPECT_EQ(toGbk(QStringLiteral("亍")).toHex().toStdString(), "d8a1");
    EXPECT_EQ(code("亍"), " ");
    // 丂 is a GBK extension character (0x8140), outside all ranges
    EXPECT_EQ(toGbk(QStringLiteral("丂")).toHex().toStdString(), "8140");
    EXPECT_EQ(code("丂"), " ");
    EXPECT_EQ(code("丫"), "Y"); // 0xD1BE, level one
}

TEST(Pinyin, RangeBoundsAreInclusive) {
    EXPECT_EQ(PinyinInitial(bytes(0xB0, 0xA1)), u'A'); // 啊
    EXPECT_EQ(PinyinInitial(bytes(0xB0, 0xC4)), u'A');
    EXPECT_EQ(PinyinInitial(bytes(0xB0, 0xC5)), u'B'); // 芭
    EXPECT_EQ(PinyinInitial(bytes(0xB0, 0xA0)), u' ');
    EXPECT_EQ(PinyinInitial(bytes(0xD7, 0xF9)), u'Z');
    EXPECT_EQ(PinyinInitial(bytes(0xD7, 0xFA)), u' ');
    // Y starts at 0xD189, right after X: 选 (0xD1A1) gives Y
    EXPECT_EQ(PinyinInitial(bytes(0xD1, 0x88)), u'X');
    EXPECT_EQ(PinyinInitial(bytes(0xD1, 0x89)), u'Y');
    EXPECT_EQ(toGbk(QStringLiteral("选")).toHex().toStdString(), "d1a1");
    EXPECT_EQ(code("选"), "Y");
    EXPECT_EQ(code("压"), "Y");
    // codes inside a range count even when they are no character
    EXPECT_EQ(PinyinInitial(bytes(0xC5, 0xB6)), u'O'); // 哦
    EXPECT_EQ(PinyinInitial(QByteArray("a")), u' ');
    EXPECT_EQ(PinyinInitial(QByteArray()), u' ');
}
