#include "stores/installation/CriteriaCopies.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <thread>

#include "platform/Cp932.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

const std::string kTitleLine =
    "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n";

/// Criteria of one level whose target time is `target`.
std::vector<CriteriaLine> criteriaWithTarget(int target) {
    return {criteriaTitleLine(),
            {std::to_string(target), "90", "60", "5", "1", "", "", "", "", "", "", ""}};
}

/// 10:00:00 on 10 December 2026, `seconds` later.
LocalDateTime at(double seconds) { return {{2026, 12, 10}, 10 * 3600.0 + seconds}; }

class CriteriaCopiesTest : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder / "タイム回数データ.txt"; }

    Expected<CriteriaSaveOutcome> save(int target, double seconds,
                                       WithoutCopy withoutCopy = WithoutCopy::KeepOldFile) {
        return saveCriteriaKeepingCopy(file(), criteriaWithTarget(target), 1, at(seconds),
                                       withoutCopy);
    }

    std::string bytesOfTarget(int target) const {
        return encodeCp932(kTitleLine + std::to_string(target) + ",90,60,5,1,,,,,,,\r\n");
    }

    testing::TempFolder folder;
};

TEST_F(CriteriaCopiesTest, ASaveKeepsTheFileItReplacesByteForByteAsTheNewestCopy) {
    // A first save has nothing to keep.
    ASSERT_TRUE(save(60, 0)->saved);
    EXPECT_TRUE(criteriaCopiesOf(file()).empty());

    // Edited by hand: LF line ends and a space the editor would not write, kept as they were.
    const std::string handEdited = encodeCp932(kTitleLine + "45 ,90,60,5,1,,,,,,,\n");
    folder.writeBytes("タイム回数データ.txt", handEdited);
    const CriteriaSaveOutcome outcome = save(70, 65.5).value();
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(outcome.copyProblem, std::nullopt);
    EXPECT_EQ(testing::readBytes(file()), bytesOfTarget(70));

    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(file());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].file, folder / "基準バックアップ/タイム回数データ-2026-12-10-100105.txt");
    EXPECT_EQ(testing::readBytes(copies[0].file), handEdited);
    EXPECT_EQ(copies[0].madeAt.date, (CivilDate{2026, 12, 10}));
    EXPECT_EQ(copies[0].madeAt.secondsSinceMidnight, 10 * 3600.0 + 65);
    EXPECT_EQ(criteriaCopyCaption(copies[0]), "2026年12月10日 10:01 まで使っていた設定");
}

TEST_F(CriteriaCopiesTest, OnlyTheNewestTenAreKeptNewestFirstEvenWithinOneSecond) {
    ASSERT_TRUE(save(1, 0)->saved);
    // Saves 2..12 replace targets 1..11; the last two share a second.
    for (int target = 2; target <= 11; ++target) ASSERT_TRUE(save(target, target * 60)->saved);
    ASSERT_TRUE(save(12, 11 * 60 + 0.5)->saved);

    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(file());
    ASSERT_EQ(copies.size(), kKeptCriteriaCopies);
    EXPECT_EQ(copies[0].file.filename(), "タイム回数データ-2026-12-10-101100-2.txt");
    EXPECT_EQ(copies[1].file.filename(), "タイム回数データ-2026-12-10-101100.txt");
    for (std::size_t i = 0; i < copies.size(); ++i) {
        EXPECT_EQ(testing::readBytes(copies[i].file), bytesOfTarget(11 - static_cast<int>(i)))
            << "copy " << i;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "基準バックアップ"),
                            std::filesystem::directory_iterator()),
              10)
        << "the older copies are removed, and no temporary file is left";
}

TEST_F(CriteriaCopiesTest, BringingBackACopyIsASaveThatKeepsTheFileItReplaces) {
    const std::string handEdited = encodeCp932(kTitleLine + "45 ,90,60,5,1,,,,,,,\n");
    folder.writeBytes("タイム回数データ.txt", handEdited);
    ASSERT_TRUE(save(50, 60)->saved);
    ASSERT_TRUE(save(55, 120)->saved);
    const std::vector<CriteriaCopy> before = criteriaCopiesOf(file());
    ASSERT_EQ(before.size(), 2u);

    const CriteriaSaveOutcome outcome =
        restoreCriteriaCopy(file(), before[1].file, 1, at(180), WithoutCopy::KeepOldFile).value();
    EXPECT_TRUE(outcome.saved);
    EXPECT_EQ(testing::readBytes(file()), handEdited) << "brought back byte for byte";

    const std::vector<CriteriaCopy> after = criteriaCopiesOf(file());
    ASSERT_EQ(after.size(), 3u);
    EXPECT_EQ(testing::readBytes(after[0].file), bytesOfTarget(55))
        << "the criteria replaced by bringing one back are a copy too";
    EXPECT_EQ(after[1].file, before[0].file);
    EXPECT_EQ(after[2].file, before[1].file);
}

TEST_F(CriteriaCopiesTest, ACopyThatWouldBreakALevelIsNotBroughtBack) {
    ASSERT_TRUE(save(50, 0)->saved);
    const auto bad = folder.writeCp932("基準バックアップ/タイム回数データ-2026-12-09-080000.txt",
                                       kTitleLine + "50,0,60,5,1,,,,,,,\r\n");
    const auto restored = restoreCriteriaCopy(file(), bad, 1, at(60), WithoutCopy::KeepOldFile);
    ASSERT_FALSE(restored) << "a minimum-line time of 0 was brought back";
    EXPECT_EQ(restored.error().file, bad);
    EXPECT_EQ(testing::readBytes(file()), bytesOfTarget(50));
    EXPECT_EQ(criteriaCopiesOf(file()).size(), 1u) << "no copy of a file that was not replaced";
}

TEST_F(CriteriaCopiesTest, ACopyThatFailsLosesNeitherTheOldFileNorTheSaveWithoutBeingTold) {
    ASSERT_TRUE(save(50, 0)->saved);
    folder.writeBytes("基準バックアップ", "a file where the copies' folder should be");

    const CriteriaSaveOutcome kept = save(60, 60, WithoutCopy::KeepOldFile).value();
    EXPECT_FALSE(kept.saved);
    ASSERT_TRUE(kept.copyProblem);
    EXPECT_TRUE(kept.copyProblem->text().starts_with((folder / "基準バックアップ").string() + ": "))
        << kept.copyProblem->text();
    EXPECT_EQ(testing::readBytes(file()), bytesOfTarget(50));

    const CriteriaSaveOutcome anyway = save(60, 60, WithoutCopy::SaveAnyway).value();
    EXPECT_TRUE(anyway.saved);
    EXPECT_TRUE(anyway.copyProblem);
    EXPECT_EQ(testing::readBytes(file()), bytesOfTarget(60));
}

TEST_F(CriteriaCopiesTest, CriteriaTheSaveRefusesLeaveNoCopy) {
    ASSERT_TRUE(save(50, 0)->saved);
    EXPECT_FALSE(save(-1, 60));
    EXPECT_EQ(testing::readBytes(file()), bytesOfTarget(50));
    EXPECT_TRUE(criteriaCopiesOf(file()).empty());
}

TEST_F(CriteriaCopiesTest, OnlyCopiesAreListedAndAnUnfinishedOneIsPassedOver) {
    ASSERT_TRUE(save(50, 0)->saved);
    ASSERT_TRUE(save(51, 60)->saved);
    for (const char* name :
         {"メモ.txt", "タイム回数データ-2026-12-10.txt", "タイム回数データ-2026-13-10-100000.txt",
          "タイム回数データ-2026-12-10-100000-1.txt", "タイム回数データ-2026-12-10-100000-x.txt"}) {
        folder.writeBytes(std::string("基準バックアップ/") + name, "x");
    }
    // A save that died after taking its name leaves it empty.
    folder.writeBytes("基準バックアップ/タイム回数データ-2026-12-10-235959.txt", "");
    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(file());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].file.filename(), "タイム回数データ-2026-12-10-100100.txt");
}

/// Classroom machines saving in the same second each keep the file they replaced, at names of
/// their own: none writes over another's copy.
TEST_F(CriteriaCopiesTest, SavesAtOnceEachKeepACopyOfTheirOwn) {
    ASSERT_TRUE(save(50, 0)->saved);
    constexpr int kSavers = 6;
    std::vector<std::thread> savers;
    std::vector<Expected<CriteriaSaveOutcome>> outcomes(kSavers);
    for (int i = 0; i < kSavers; ++i) {
        savers.emplace_back([&, i] { outcomes[i] = save(60 + i, 60); });
    }
    for (std::thread& saver : savers) saver.join();
    for (const Expected<CriteriaSaveOutcome>& outcome : outcomes) {
        ASSERT_TRUE(outcome);
        EXPECT_TRUE(outcome->saved);
        EXPECT_EQ(outcome->copyProblem, std::nullopt);
    }
    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(file());
    ASSERT_EQ(copies.size(), static_cast<std::size_t>(kSavers));
    std::set<int> sequences;
    for (const CriteriaCopy& copy : copies) {
        sequences.insert(copy.sequence);
        const std::string bytes = testing::readBytes(copy.file);
        EXPECT_EQ(bytes.substr(0, encodeCp932(kTitleLine).size()), encodeCp932(kTitleLine))
            << "every copy is a whole criteria file";
    }
    EXPECT_EQ(sequences.size(), static_cast<std::size_t>(kSavers));
}

TEST_F(CriteriaCopiesTest, CopiesAndTheirFolderAreAsWritableAsTheDataFolder) {
    struct Case {
        mode_t dataFolder;
        mode_t copiesFolder;
        mode_t copy;
    };
    for (const Case& c : {Case{0777, 0777, 0666}, Case{0755, 0755, 0644}}) {
        testing::TempFolder data;
        ASSERT_EQ(::chmod(data.path().c_str(), c.dataFolder), 0);
        const auto criteria = data / "タイム回数データ.txt";
        const mode_t oldMask = ::umask(077);  // a login that keeps everything to itself
        ASSERT_TRUE(saveCriteriaKeepingCopy(criteria, criteriaWithTarget(50), 1, at(0),
                                            WithoutCopy::KeepOldFile)
                        ->saved);
        ASSERT_TRUE(saveCriteriaKeepingCopy(criteria, criteriaWithTarget(60), 1, at(60),
                                            WithoutCopy::KeepOldFile)
                        ->saved);
        ::umask(oldMask);
        struct stat status {};
        ASSERT_EQ(::stat(criteriaCopiesFolderOf(criteria).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.copiesFolder) << std::oct << c.dataFolder;
        ASSERT_EQ(::stat(criteriaCopyFileOf(criteria, at(60)).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.copy) << std::oct << c.dataFolder;
    }
}

}  // namespace
}  // namespace gaisan
