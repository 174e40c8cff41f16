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
