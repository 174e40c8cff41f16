#include "platform/TextFileWriter.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

TEST(TextFileWriter, ReplacesTheFileWithCp932AndLeavesNoTemporaryBehind) {
    testing::TempFolder folder;
    const auto file = folder.writeBytes("table.txt", "old contents");
    ASSERT_TRUE(writeCp932FileAtomically(file, "髙橋,①\r\n"));
    EXPECT_EQ(testing::readBytes(file), "\xfb\xfc\x8b\xb4,\x87\x40\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(TextFileWriter, TheReplacementKeepsThePermissionsOfTheFileItReplaces) {
    testing::TempFolder folder;
    const auto shared = folder.writeBytes("shared.txt", "old");
    std::filesystem::permissions(
        shared, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    ASSERT_TRUE(writeCp932FileAtomically(shared, "new"));
    EXPECT_EQ(std::filesystem::status(shared).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::group_write);
    const auto fresh = folder / "fresh.txt";
    ASSERT_TRUE(writeCp932FileAtomically(fresh, "new"));
    EXPECT_EQ(std::filesystem::status(fresh).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

TEST(TextFileWriter, ACharacterCp932CannotHoldLeavesTheOldFileAsItWas) {
    testing::TempFolder folder;
    const auto file = folder.writeBytes("table.txt", "old contents");
    EXPECT_FALSE(writeCp932FileAtomically(file, "smile 😀"));
    EXPECT_EQ(testing::readBytes(file), "old contents");
}

TEST(TextFileWriter, AFolderThatCannotBeWrittenIsReported) {
    testing::TempFolder folder;
    EXPECT_FALSE(writeCp932FileAtomically(folder / "no-such-folder/table.txt", "x"));
}

}  // namespace
}  // namespace gaisan
