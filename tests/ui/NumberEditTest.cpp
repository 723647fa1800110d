#include "ui/NumberEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <gtest/gtest.h>

TEST(NumberEditTest, DigitsBoxTakesDigitsAndBackspaceOnly) {
    NumberEdit edit(NumberEdit::Kind::Digits);
    QTest::keyClicks(&edit, QStringLiteral("1a2.-3 e+"));
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClicks(&edit, QStringLiteral("9"));
    EXPECT_EQ(edit.text(), QStringLiteral("192"));
    ASSERT_TRUE(edit.integer().ok());
    EXPECT_EQ(edit.integer().value(), 192);
}

TEST(NumberEditTest, DecimalBoxTakesOnePointAndRefusesOtherKeys) {
    NumberEdit edit(NumberEdit::Kind::Decimal);
    QTest::keyClicks(&edit, QStringLiteral("12.5x.3"));
    EXPECT_EQ(edit.text(), QStringLiteral("12.53")) << "a second point must not get in";
    auto value = edit.money();
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(value.value(), Money::fromUnits(125300));
}

TEST(NumberEditTest, EnterStillReachesTheBox) {
    NumberEdit edit(NumberEdit::Kind::Digits);
    int entered = 0;
    QObject::connect(&edit, &QLineEdit::returnPressed, [&] { ++entered; });
    QTest::keyClicks(&edit, QStringLiteral("5"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(entered, 1);
}

TEST(NumberEditTest, PastedTextThatDoesNotFitIsRefusedWhole) {
    NumberEdit digits(NumberEdit::Kind::Digits);
    digits.insert(QStringLiteral("12a"));
    EXPECT_EQ(digits.text(), QString());
    digits.insert(QStringLiteral("1.5"));
    EXPECT_EQ(digits.text(), QString());
    digits.insert(QStringLiteral("42"));
    EXPECT_EQ(digits.text(), QStringLiteral("42"));

    NumberEdit decimal(NumberEdit::Kind::Decimal);
    decimal.insert(QStringLiteral("3.5"));
    EXPECT_EQ(decimal.text(), QStringLiteral("3.5"));
    decimal.insert(QStringLiteral(".2")); // would make "3.5.2"
    EXPECT_EQ(decimal.text(), QStringLiteral("3.5"));
    decimal.insert(QStringLiteral("-1"));
    EXPECT_EQ(decimal.text(), QStringLiteral("3.5"));

    // through the clipboard and the paste shortcut, as a user would
    QApplication::clipboard()->setText(QStringLiteral("1,000"));
    decimal.clear();
    QTest::keyClick(&decimal, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(decimal.text(), QString());
    QApplication::clipboard()->setText(QStringLiteral("0.8097"));
    ASSERT_EQ(QApplication::clipboard()->text(), QStringLiteral("0.8097"));
    QTest::keyClick(&decimal, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(decimal.text(), QStringLiteral("0.8097"));
}

TEST(NumberEditTest, MalformedTextIsRefusedWithAClearMessage) {
    NumberEdit edit(NumberEdit::Kind::Decimal);
    edit.setFieldName(QStringLiteral("定价"));
    edit.setText(QStringLiteral("."));
    auto dot = edit.money();
    ASSERT_FALSE(dot.ok());
    EXPECT_EQ(dot.error(), QStringLiteral("定价的数字格式不正确: \".\""));
    edit.setText(QStringLiteral("1.2.3")); // text set by the program is kept raw
    EXPECT_EQ(edit.text(), QStringLiteral("1.2.3"));
    EXPECT_FALSE(edit.money().ok());
    EXPECT_FALSE(edit.integer().ok());
    edit.setText(QStringLiteral("1.5"));
    EXPECT_FALSE(edit.integer().ok()) << "a whole number has no point";
    edit.setText(QStringLiteral("99999999999999999999999"));
    EXPECT_FALSE(edit.integer().ok());
    edit.setText(QStringLiteral("12."));
    EXPECT_EQ(edit.money().value(), Money::fromInt(12));
    edit.setText(QStringLiteral("0.00015"));
    EXPECT_EQ(edit.money().value(), Money::fromUnits(2)); // half to even

    edit.clear();
    EXPECT_EQ(edit.money().value(), Money{});
    auto required = edit.money(std::nullopt);
    ASSERT_FALSE(required.ok());
    EXPECT_EQ(required.error(), QStringLiteral("请输入定价!"));
    EXPECT_EQ(NumberEdit::parseInteger(QStringLiteral("+5")).ok(), false);
    EXPECT_EQ(NumberEdit::parseInteger(QStringLiteral("007")).value(), 7);
}

TEST(NumberEditTest, ValuesBeyondTheBoxesBoundsAreRefusedAsTooLarge) {
    const struct {
        const char* text;
        bool integer;
        bool ok;
    } cases[] = {
        {"100000000", false, true},
        {"100000000.0001", false, false},
        {"9999999999", false, false},
        {"99999999999999999999999999999999", false, false},
        {"999999999", true, true},
        {"1000000000", true, false},
        {"99999999999999999999999", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        const QString error = c.integer
                                  ? NumberEdit::parseInteger(text, QStringLiteral("数量")).error()
                                  : NumberEdit::parseMoney(text, QStringLiteral("折扣")).error();
        if (c.ok) {
            EXPECT_TRUE(error.isEmpty());
        } else {
            EXPECT_EQ(error, c.integer ? QStringLiteral("数量超出范围, 最大只能是 999999999")
                                       : QStringLiteral("折扣超出范围, 最大只能是 100000000"));
        }
    }
    // a correction below zero keeps the same bound
    EXPECT_FALSE(NumberEdit::parseMoney(QStringLiteral("-100000001"), QStringLiteral("卡内金额")));
}
