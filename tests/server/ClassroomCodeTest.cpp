#include "server/ClassroomCode.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

TEST(ClassroomCodeTest, TheCodeIsMadeOnceAndKeptAcrossRestarts) {
    testing::TempFolder folder;
    const auto file = folder / "ブラウザ教室コード.txt";
    auto first = ClassroomCode::loadOrCreate(file);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->digits().size(), 6u);
    EXPECT_EQ(first->digits().find_first_not_of("0123456789"), std::string::npos);
    const std::string cookie = first->newDeviceCookie();
    ASSERT_TRUE(first->deviceOf(cookie));

    auto again = ClassroomCode::loadOrCreate(file);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->digits(), first->digits());
    EXPECT_EQ(again->deviceOf(cookie), first->deviceOf(cookie)) << "a restart keeps the devices";
    EXPECT_TRUE(again->matches(first->digits()));
    EXPECT_FALSE(again->matches(first->digits() + "0"));

    auto renewed = ClassroomCode::renew(file);
    ASSERT_TRUE(renewed);
    EXPECT_FALSE(renewed->deviceOf(cookie)) << "a new code sends every device to the code screen";
    EXPECT_EQ(ClassroomCode::loadOrCreate(file)->digits(), renewed->digits());
}

TEST(ClassroomCodeTest, ACookieMustBeSignedWhole) {
    const auto code = ClassroomCode::parse("f", "123456\n" + std::string(64, 'b') + "\n");
    ASSERT_TRUE(code);
    const std::string cookie = code->newDeviceCookie();
    std::string tampered = cookie;
    tampered[0] = tampered[0] == 'a' ? 'b' : 'a';
    for (const std::string& bad : {std::string(), std::string("."), cookie.substr(1), cookie + "0",
                                   tampered, cookie.substr(0, 32)}) {
        EXPECT_FALSE(code->deviceOf(bad)) << bad;
    }
}

TEST(ClassroomCodeTest, ADamagedCodeFileIsNamed) {
    const std::string key(64, 'c');
    for (const std::string& text :
         {std::string(), std::string("123456\n"), "12345\n" + key + "\n", "12345a\n" + key + "\n",
          "123456\n" + key.substr(2) + "\n", "123456\n" + std::string(64, 'x') + "\n"}) {
        const auto code = ClassroomCode::parse("/data/ブラウザ教室コード.txt", text);
        ASSERT_FALSE(code) << text;
        EXPECT_EQ(code.error().file, "/data/ブラウザ教室コード.txt");
    }
    testing::TempFolder folder;
    std::filesystem::create_directory(folder / "code");
    const auto unreadable = ClassroomCode::loadOrCreate(folder / "code");
    ASSERT_FALSE(unreadable);
    EXPECT_EQ(unreadable.error().file, folder / "code");
}

}  // namespace
}  // namespace gaisan
