#include "base/SoundTable.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

Expected<SoundTable> load(const std::string& text) {
    testing::TempFolder folder;
    SoundTable table;
    const Expected<void> loaded =
        LoadSoundTable(folder.writeCp932("新音ファイル.txt", text), table);
    if (!loaded) return Unexpected(loaded.error());
    return table;
}

TEST(SoundTable, ReadsEntriesAndSkipsItemsOutsideThem) {
    const SoundTable table =
        load(
            "音の一覧\r\n正解音2\r\nせいかい1\r\nせいかい2\r\nせいかい3\r\n*\r\nおまけ\r\n"
            "間違い音2,まちがい1,*\r\n不合格音1\r\n*\r\n")
            .value();
    EXPECT_EQ(table.cues[1].name, "正解音1");
    EXPECT_EQ(table.cues[10].name, "不合格音1");
    EXPECT_EQ(table.cues[kCorrectCue].count, 3);
    EXPECT_EQ(table.cues[kCorrectCue].files[1], "せいかい1");
    EXPECT_EQ(table.cues[kCorrectCue].files[3], "せいかい3");
    EXPECT_EQ(table.cues[kWrongCue].count, 1);
    EXPECT_EQ(table.cues[kWrongCue].files[1], "まちがい1");
    EXPECT_EQ(table.cues[kFailCue].count, 0) << "a \"*\" right after the name";
    EXPECT_EQ(table.cues[kPersonalBestCue].count, std::nullopt) << "a cue the file never lists";
}

/// A cue entry's first lines: the cue name and `count` file names f1, f2...
std::string cueWithFiles(int count) {
    std::string entry = "正解音2\r\n";
    for (int i = 1; i <= count; ++i) entry.append("f").append(std::to_string(i)).append("\r\n");
    return entry;
}

TEST(SoundTable, NineteenFilesAreTheMostACueCanList) {
    EXPECT_EQ(load(cueWithFiles(19) + "*\r\n")->cues[kCorrectCue].count, 19);

    // Twenty names and no "*" among the twenty items: the count stays unset, and reading goes
    // on looking for cue names after them.
    const SoundTable table = load(cueWithFiles(20) + "*\r\n間違い音2\r\nx\r\n*\r\n").value();
    EXPECT_EQ(table.cues[kCorrectCue].count, std::nullopt);
    EXPECT_EQ(table.cues[kCorrectCue].files[20], "f20");
    EXPECT_EQ(table.cues[kWrongCue].count, 1);
}

TEST(SoundTable, AFileEndingInsideAnEntryIsRefusedNamingTheCue) {
    const Expected<SoundTable> unterminated = load("正解音2\r\nせいかい1\r\n");
    ASSERT_FALSE(unterminated) << "an unterminated entry was accepted";
    EXPECT_NE(unterminated.error().problem.find("正解音2"), std::string::npos)
        << unterminated.error().problem;
}

}  // namespace
}  // namespace gaisan
