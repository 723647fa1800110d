#include "output/core/Code128.h"

#include <QSet>
#include <gtest/gtest.h>

#include "output/Code128Decode.h"

TEST(Code128Test, PatternTableIsAWellFormedCode128Table) {
    QSet<QString> seen;
    for (int v = 0; v <= Code128::Stop; ++v) {
        const QString p = Code128::pattern(v);
        ASSERT_EQ(p.size(), v == Code128::Stop ? 7 : 6) << v;
        int modules = 0, barModules = 0;
        for (int i = 0; i < p.size(); ++i) {
            const int w = p[i].digitValue();
            EXPECT_GE(w, 1) << v;
            EXPECT_LE(w, 4) << v;
            modules += w;
            if (i % 2 == 0)
                barModules += w;
        }
        EXPECT_EQ(modules, v == Code128::Stop ? 13 : 11) << v;
        EXPECT_EQ(barModules % 2, 0) << "bars of every character have even parity: " << v;
        seen.insert(p);
    }
    EXPECT_EQ(seen.size(), 107);
}

TEST(Code128Test, PublishedBinaryPatterns) {
    EXPECT_EQ(binaryOf(0), QStringLiteral("11011001100"));     // space
    EXPECT_EQ(binaryOf(1), QStringLiteral("11001101100"));     // !
    EXPECT_EQ(binaryOf(16), QStringLiteral("10011101100"));    // 0
    EXPECT_EQ(binaryOf(17), QStringLiteral("10011100110"));    // 1
    EXPECT_EQ(binaryOf(33), QStringLiteral("10100011000"));    // A
    EXPECT_EQ(binaryOf(34), QStringLiteral("10001011000"));    // B
    EXPECT_EQ(binaryOf(103), QStringLiteral("11010000100"));   // start A
    EXPECT_EQ(binaryOf(104), QStringLiteral("11010010000"));   // start B
    EXPECT_EQ(binaryOf(105), QStringLiteral("11010011100"));   // start C
    EXPECT_EQ(binaryOf(106), QStringLiteral("1100011101011")); // stop
}

TEST(Code128Test, SymbolValuesAndCheckCharacter) {
    // PJJ123C: 103 + 48*1 + 42*2 + 42*3 + 17*4 + 18*5 + 19*6 + 35*7 = 878 = 8*103 + 54
    auto s = Code128::encodeA(QStringLiteral("PJJ123C"));
    ASSERT_TRUE(s.ok()) << s.error().toStdString();
    EXPECT_EQ(s->values, (QList<int>{103, 48, 42, 42, 17, 18, 19, 35, 54, 106}));
    EXPECT_EQ(s->checkValue(), 54);
    EXPECT_EQ(s->text, QStringLiteral("PJJ123C"));
    EXPECT_EQ(s->modules, 11 * 9 + 13);

    // a card number of the shop: 103 + 16 + 2*16 + 3*16 + 4*17 = 267 = 2*103 + 61
    auto card = Code128::encodeA(QStringLiteral("0001"));
    ASSERT_TRUE(card.ok());
    EXPECT_EQ(card->values, (QList<int>{103, 16, 16, 16, 17, 61, 106}));
    EXPECT_EQ(binary(card->widths),
              QStringLiteral("11010000100") + QStringLiteral("10011101100").repeated(3) +
                  QStringLiteral("10011100110") + binaryOf(61) + QStringLiteral("1100011101011"));

    // control characters sit at 64..95 in set A: TAB (9) is 73; 103 + 73 = 176 = 103 + 73
    auto tab = Code128::encodeA(QStringLiteral("\t"));
    ASSERT_TRUE(tab.ok());
    EXPECT_EQ(tab->values, (QList<int>{103, 73, 73, 106}));
    // underscore is the last printable character of set A
    auto underscore = Code128::encodeA(QStringLiteral("A_"));
    ASSERT_TRUE(underscore.ok());
    EXPECT_EQ(underscore->values[2], 63);
}

TEST(Code128Test, BarsDecodeBackToTheText) {
    for (const QString& text :
         {QStringLiteral("9787111213826"), QStringLiteral("HY-0001"), QStringLiteral("A B/C.$%+"),
          QStringLiteral("ZZ_^[]\\@?"), QStringLiteral("0"), QStringLiteral("X\x1fY")}) {
        auto s = Code128::encodeA(text);
        ASSERT_TRUE(s.ok()) << text.toStdString();
        const auto back = decode(s->widths);
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(*back, text);
    }
    // one flipped module is caught by the check
    auto s = Code128::encodeA(QStringLiteral("12345"));
    ASSERT_TRUE(s.ok());
    QList<int> broken = s->widths;
    std::swap(broken[7], broken[8]); // inside the first data character
    EXPECT_FALSE(decode(broken).has_value() && *decode(broken) == QStringLiteral("12345"));
}

TEST(Code128Test, RefusesWhatSetACannotEncode) {
    for (const QString& text :
         {QStringLiteral("abc"), QStringLiteral("A1b"), QStringLiteral("会员001"),
          QStringLiteral("{1}"), QStringLiteral("~"), QStringLiteral("\x7f"), QString()}) {
        auto s = Code128::encodeA(text);
        EXPECT_FALSE(s.ok()) << text.toStdString();
        EXPECT_FALSE(s.error().isEmpty());
    }
    auto lower = Code128::encodeA(QStringLiteral("AB9x"));
    ASSERT_FALSE(lower.ok());
    EXPECT_TRUE(lower.error().contains(u'x'));
}
