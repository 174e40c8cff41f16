#include "platform/Numbers.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

TEST(Numbers, LeadingNumberReadsTheNumberATextBeginsWith) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"200", 200}, {"0200", 200},       {"200.0", 200},  {"2,000", 2}, {" 12", 12}, {"-3", -3},
        {"1.5", 1.5}, {"12345ABC", 12345}, {"00000ABC", 0}, {"ABC", 0},   {"", 0},     {"+", 0},
        {".", 0},     {"目標Time", 0},     {"60秒", 60},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leadingNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(Numbers, ParseNumberTakesOnlyAWholeNumberText) {
    EXPECT_EQ(parseNumber(" 4 "), 4.0);
    EXPECT_EQ(parseNumber("-1.25"), -1.25);
    EXPECT_EQ(parseNumber("4月"), std::nullopt);
    EXPECT_EQ(parseNumber(""), std::nullopt);
    EXPECT_EQ(parseNumber("1 2"), std::nullopt);
}

TEST(Numbers, DigitsAtTakesExactlyTheDigitsOfAField) {
    EXPECT_EQ(digitsAt("2026-12-10 09:00:05", 0, 4), 2026);
    EXPECT_EQ(digitsAt("2026-12-10 09:00:05", 11, 2), 9) << "a leading zero";
    EXPECT_EQ(digitsAt("x-0512", 2, 4), 512);
    EXPECT_EQ(digitsAt("-5", 0, 2), std::nullopt) << "no sign";
    EXPECT_EQ(digitsAt(" 5", 0, 2), std::nullopt) << "no space";
    EXPECT_EQ(digitsAt("5x", 0, 2), std::nullopt);
    EXPECT_EQ(digitsAt("12", 1, 2), std::nullopt) << "the text ends first";
    EXPECT_EQ(digitsAt("12", 3, 1), std::nullopt);
    EXPECT_EQ(digitsAt("99999999999", 0, 11), std::nullopt) << "beyond an int";
}

TEST(ShortestText, WritesTheShortestDecimalThatReadsBack) {
    EXPECT_EQ(shortestText(1.0f), "1");
    EXPECT_EQ(shortestText(1.5f), "1.5");
    EXPECT_EQ(shortestText(0.1f), "0.1");
    EXPECT_EQ(shortestText(30.0), "30");
    EXPECT_EQ(shortestText(7.25), "7.25");
    EXPECT_EQ(shortestText(0.0f), "0");
}

}  // namespace
}  // namespace gaisan
