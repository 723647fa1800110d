#include "store/IniBool.h"

#include <gtest/gtest.h>

TEST(IniBoolTest, ZeroAndFalseAreNoOtherNumbersAndTrueAreYes) {
    const std::pair<const char*, bool> cases[] = {
        {"1", true},      {"2", true},     {"-1", true},   {" 1 ", true},  {"true", true},
        {"TRUE", true},   {" True", true}, {"0", false},   {"0.0", false}, {"false", false},
        {"False", false}, {"", false},     {"yes", false}, {"是", false},  {"1x", false},
    };
    for (const auto& [text, yes] : cases)
        EXPECT_EQ(iniYes(QString::fromUtf8(text)), yes) << text;
}
