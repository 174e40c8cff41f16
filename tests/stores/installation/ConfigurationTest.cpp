#include "stores/installation/Configuration.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/ProgramProfile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

TEST(SchoolCode, AFiveCharacterLeadingNumberOtherThanZeroIsTheCode) {
    const struct {
        const char* text;
        const char* name;
        std::optional<std::string> code;
    } cases[] = {
        {"01234ABC", "ABC", "01234"},
        {"ABCDEFG", "ABCDEFG", std::nullopt},
        {"00000ABC", "00000ABC", std::nullopt},
        {"12345さくら学習塾", "さくら学習塾", "12345"},
        {"12さくら学習塾", "学習塾", "12さくら"},  // the value of "12さくら" is 12
        {"", "", std::nullopt},
    };
    for (const auto& c : cases) {
        const SchoolNameAndCode split = splitSchoolCode(c.text);
        EXPECT_EQ(split.name, c.name) << c.text;
        EXPECT_EQ(split.code, c.code) << c.text;
    }
}

TEST(ProgramFolderName, IsTheLastComponentOfTheFolder) {
    EXPECT_EQ(programFolderNameOf("D:\\drills\\estim"), "estim");
    EXPECT_EQ(programFolderNameOf("/srv/suite/gaisan/"), "gaisan");
    EXPECT_EQ(programFolderNameOf("/srv/suite/gaisan"), "gaisan");
    EXPECT_EQ(programFolderNameOf("gaisan"), "gaisan");
}

TEST(DataLocationsOfAnInstallation, TheAnswersOfEachSchoolYearLieBesideTheResultsFile) {
    const DataLocations locations = DataLocations::ofDataRoot("/srv/suite/data");
    EXPECT_EQ(locations.answersFolder(2026).parent_path(), locations.resultsFile().parent_path());
    EXPECT_EQ(locations.answersFolder(2026).filename(), "成績解答データ2026");
    EXPECT_NE(locations.answersFolder(2026), locations.answersFolder(2027));
}

/// A suite folder as a school has it: the program folder "gaisan", "パスデータ.txt" beside it and
/// a data root with the common data, the criteria and the sound table.
class Suite : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "gaisan");
        writeSuiteFile(dataRoot().string() + "/");
        folder.writeCp932("data/共通データ.txt",
                          "4\r\n01234さくら塾\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
        std::string criteria =
            "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n";
        for (int level = 1; level <= kDefinedLevelCount; ++level)
            criteria += "60,90,60,5,1,30,0,30,1,,,\r\n";
        folder.writeCp932("data/gaisan/タイム回数データ.txt", criteria);
        folder.writeCp932("data/音フォルダ/新音ファイル.txt", kSoundTable);
    }

    /// Every cue the program plays, each with its files and "*".
    static constexpr const char* kSoundTable =
        "正解音2\r\na\r\nb\r\n*\r\n間違い音2\r\nc\r\n*\r\n自己最高音2\r\nd\r\n*\r\n"
        "不合格音1\r\ne\r\n*\r\n";

    std::filesystem::path dataRoot() const { return folder / "data"; }
    std::filesystem::path programFolder() const { return folder / "gaisan"; }
    void writeSuiteFile(const std::string& firstItem) {
        folder.writeCp932("パスデータ.txt",
                          firstItem + "\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    }

    /// Runs the load and returns the problem it reported, or "" when it succeeded.
    std::string loadProblem(std::filesystem::path* file = nullptr) {
        const Expected<void> loaded = LoadConfiguration(*state, programFolder());
        if (loaded) return "";
        if (file) *file = loaded.error().file;
        return loaded.error().problem;
    }

    testing::TempFolder folder;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(Suite, LoadsEveryFileIntoTheSharedState) {
    ASSERT_EQ(loadProblem(), "");
    const DataLocations& at = state->locations;
    EXPECT_EQ(at.ProgramFolder, programFolder().string() + "/");
    EXPECT_EQ(at.DataRoot, dataRoot().string() + "/");
    EXPECT_EQ(at.ProgramFolderName, "gaisan");
    EXPECT_EQ(at.ProgramDataFolder, dataRoot().string() + "/gaisan/");
    EXPECT_EQ(at.SoundFolder, dataRoot().string() + "/音フォルダ/");
    EXPECT_EQ(state->common.YearChangeMonth, 4);
    EXPECT_EQ(state->common.SchoolName, "さくら塾");
    EXPECT_EQ(state->common.SchoolCode, "01234");
    EXPECT_EQ(state->common.RosterOption, 1);
    EXPECT_EQ(state->profile.SubjectTitle, "概算");
    EXPECT_EQ(state->profile.AllLevelsOpen, 1);
    EXPECT_EQ(state->criteria.MinLineTime.at(1), 90);
    EXPECT_EQ(state->sounds.cues[kCorrectCue].count, 2);
}

TEST_F(Suite, ADataRootWithoutItsTrailingSeparatorIsAccepted) {
    writeSuiteFile(dataRoot().string());
    ASSERT_EQ(loadProblem(), "");
    EXPECT_EQ(state->locations.DataRoot, dataRoot().string() + "/");
    EXPECT_EQ(state->criteria.TargetTime.at(1), 60);
}

TEST_F(Suite, ARelativeDataRootIsTakenFromTheSuiteFolder) {
    writeSuiteFile("data");
    ASSERT_EQ(loadProblem(), "");
    EXPECT_EQ(state->locations.DataRoot, dataRoot().string() + "/");
}

TEST_F(Suite, EachMissingFileIsNamedWithItsFullPath) {
    const char* files[] = {"パスデータ.txt", "data/共通データ.txt",
                           "data/gaisan/タイム回数データ.txt", "data/音フォルダ/新音ファイル.txt"};
    for (const char* name : files) {
        SetUp();
        std::filesystem::remove(folder / name);
        std::filesystem::path reported;
        EXPECT_EQ(loadProblem(&reported), "ファイルがありません。") << name;
        EXPECT_EQ(reported, folder / name);
    }
}

TEST_F(Suite, FilesWithTooFewItemsAreRefused) {
    folder.writeCp932("パスデータ.txt", dataRoot().string() + "/\r\n0\r\n");
    std::filesystem::path reported;
    EXPECT_NE(loadProblem(&reported).find("項目が足りません"), std::string::npos);
    EXPECT_EQ(reported, folder / "パスデータ.txt");

    SetUp();
    folder.writeCp932("data/共通データ.txt", "4\r\nさくら塾\r\n");
    EXPECT_NE(loadProblem(&reported).find("項目が足りません"), std::string::npos);
    EXPECT_EQ(reported, dataRoot() / "共通データ.txt");
}

TEST_F(Suite, CriteriaLackingALevelOfTheLevelTableAreRefused) {
    folder.writeCp932(
        "data/gaisan/タイム回数データ.txt",
        "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n");
    std::filesystem::path reported;
    EXPECT_EQ(loadProblem(&reported),
              "レベル1〜24の行がありません（見出しの行の後に、レベル1〜24の24行が必要です）。");
    EXPECT_EQ(reported, dataRoot() / "gaisan" / "タイム回数データ.txt");
}

TEST_F(Suite, ASoundTableLackingACueTheProgramPlaysIsRefusedNamingTheCue) {
    const struct {
        const char* name;
        std::string table;
        const char* problem;
    } cases[] = {
        {"no wrong cue", "正解音2\r\na\r\n*\r\n自己最高音2\r\nd\r\n*\r\n不合格音1\r\ne\r\n*\r\n",
         "「間違い音2」の一覧がありません（音の名前の行、音ファイルの名前の行、「*"
         "」の行が必要です）。"},
        {"a fail cue listing no file", std::string(kSoundTable) + "不合格音1\r\n*\r\n",
         "「不合格音1」の一覧に音ファイルの名前がありません。"},
        {"twenty names and no \"*\"",
         "正解音2,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20\r\n" +
             std::string(kSoundTable).substr(std::string(kSoundTable).find("間違い音2")),
         "「正解音2」の一覧がありません（音の名前の行、音ファイルの名前の行、「*"
         "」の行が必要です）。"},
    };
    for (const auto& c : cases) {
        SetUp();
        folder.writeCp932("data/音フォルダ/新音ファイル.txt", c.table);
        std::filesystem::path reported;
        EXPECT_EQ(loadProblem(&reported), c.problem) << c.name;
        EXPECT_EQ(reported, dataRoot() / "音フォルダ" / "新音ファイル.txt") << c.name;
    }
}

TEST_F(Suite, AYearChangeMonthThatIsNoMonthIsRefused) {
    for (const char* month : {"0", "13", "四月", "", "4.5"}) {
        folder.writeCp932("data/共通データ.txt",
                          std::string(month) + ",さくら塾,0,0,0,0,0,0,0,0\r\n");
        EXPECT_NE(loadProblem().find("学年の変わる月"), std::string::npos) << month;
    }
}

}  // namespace
}  // namespace gaisan
