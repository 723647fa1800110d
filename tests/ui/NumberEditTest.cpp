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

// The bounds and texts themselves are the reader's (TypedNumberTest).
TEST(NumberEditTest, ReadsItsTextUnderItsFieldName) {
    NumberEdit edit(NumberEdit::Kind::Decimal);
    edit.setFieldName(QStringLiteral("定价"));
    edit.setText(QStringLiteral("1.2.3")); // text set by the program is kept raw
    EXPECT_EQ(edit.text(), QStringLiteral("1.2.3"));
    EXPECT_EQ(edit.money().error(), QStringLiteral("定价的数字格式不正确: \"1.2.3\""));
    edit.setText(QStringLiteral("1.5"));
    EXPECT_EQ(edit.integer().error(), QStringLiteral("定价的数字格式不正确: \"1.5\""));
    edit.clear();
    EXPECT_EQ(edit.money().value(), Money{});
    EXPECT_EQ(edit.money(std::nullopt).error(), QStringLiteral("请输入定价!"));
    edit.setText(QStringLiteral("20"));
    EXPECT_EQ(edit.integer(TypedNumber::itemCount(QStringLiteral("库存"), 9)).error(),
              QStringLiteral("库存不能超过9!"));
}
