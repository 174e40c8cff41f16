#include "platform/Expected.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace gaisan {
namespace {

Expected<int> halfOf(int number) {
    if (number % 2 != 0) return Unexpected(Failure{"数.txt", "奇数です"});
    return number / 2;
}

Expected<void> refuseOdd(int number) {
    if (auto half = halfOf(number); !half) return Unexpected(half.error());
    return {};
}

TEST(ExpectedTest, HoldsEitherTheValueOrTheFailureNamingItsFile) {
    const Expected<int> half = halfOf(8);
    ASSERT_TRUE(half.has_value());
    EXPECT_EQ(*half, 4);
    EXPECT_EQ(half.value_or(0), 4);

    const Expected<int> odd = halfOf(7);
    ASSERT_FALSE(odd);
    EXPECT_EQ(odd.error().text(), "数.txt: 奇数です");
    EXPECT_EQ(odd.value_or(-1), -1);
    EXPECT_THROW((void)odd.value(), BadExpectedAccess);

    EXPECT_TRUE(refuseOdd(2));
    const Expected<void> refused = refuseOdd(3);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().problem, "奇数です");
    EXPECT_THROW(refused.value(), BadExpectedAccess);
    EXPECT_EQ((Failure{{}, "ファイルがありません"}.text()), "ファイルがありません");
}

TEST(ExpectedTest, MovesAValueThatCannotBeCopied) {
    Expected<std::unique_ptr<std::string>> made = std::make_unique<std::string>("成績");
    ASSERT_TRUE(made);
    const std::unique_ptr<std::string> taken = *std::move(made);
    EXPECT_EQ(*taken, "成績");
}

}  // namespace
}  // namespace gaisan
