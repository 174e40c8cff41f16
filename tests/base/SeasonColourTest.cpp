#include "base/SeasonColour.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

TEST(SeasonColour, FollowsTheMonth) {
    const Colour expected[13] = {0,        33023,    33023, 12648384, 12648384, 12648384, 12632064,
                                 12632064, 12632064, 16576, 16576,    16576,    12648384};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(seasonColourOfMonth(month), expected[month]) << month;
    }
    EXPECT_EQ(colourOf(255, 255, 192), 12648447u);
}

}  // namespace
}  // namespace gaisan
