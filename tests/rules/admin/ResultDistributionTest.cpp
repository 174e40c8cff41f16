#include "rules/admin/ResultDistribution.h"

#include <gtest/gtest.h>

#include "platform/PosixRecordFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

class ResultDistributionTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    PosixRecordFile file;
    ResultDistribution distribution;
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }

    void refresh() { ASSERT_TRUE(testing::succeeded(distribution.refresh(file, path()))); }

    /// The lines a distribution counted afresh from the file shows for `level`.
    std::vector<std::string> freshLines(int level) {
        ResultDistribution fresh;
        EXPECT_TRUE(testing::succeeded(fresh.refresh(file, path())));
        auto lines = fresh.allResultsLines(level);
        const auto best = fresh.bestTimeLines(level);
        lines.insert(lines.end(), best.begin(), best.end());
        return lines;
    }
    std::vector<std::string> shownLines(int level) const {
        auto lines = distribution.allResultsLines(level);
        const auto best = distribution.bestTimeLines(level);
        lines.insert(lines.end(), best.begin(), best.end());
        return lines;
    }
};

TEST_F(ResultDistributionTest, ResultsFallIntoTheirTenSecondBandsAndEachStudentsBestOnce) {
    testing::appendRecords(
        path(), {
                    testing::runRecord(5, 3, 38), testing::runRecord(5, 3, 25),
                    testing::runRecord(5, 3, 41),
                    testing::runRecord(6, 4, 400),    // best into band 30, the line labelled 300
                    testing::runRecord(7, 4, 2000),   // band 100, the line labelled 1000
                    testing::runRecord(8, 4, 99999),  // a time-up: the last band of each list
                });
    refresh();
    EXPECT_EQ(distribution.total(3), 3);
    EXPECT_EQ(distribution.allResults(3, 3), 1);
    EXPECT_EQ(distribution.allResults(3, 2), 1);
    EXPECT_EQ(distribution.allResults(3, 4), 1);
    EXPECT_EQ(distribution.bestTimes(3, 2), 1);
    EXPECT_EQ(distribution.bestTimes(3, 3) + distribution.bestTimes(3, 4), 0);

    EXPECT_EQ(distribution.allResults(4, 40), 1);
    EXPECT_EQ(distribution.bestTimes(4, 30), 3) << "400, 2000 and the time-up";
    EXPECT_EQ(distribution.allResults(4, 100), 2) << "2000 and the time-up";
    const auto lines = distribution.allResultsLines(4);
    ASSERT_EQ(lines.size(), 102u);
    EXPECT_EQ(lines[0], "レベル4 今まで3回  （★=1）");
    EXPECT_EQ(lines[1], "   0～");
    EXPECT_EQ(lines[41], " 400～★");
    EXPECT_EQ(lines[101], "1000～★★");
    EXPECT_EQ(distribution.bestTimeLines(4)[0], "レベル4 （★=1）");
    EXPECT_EQ(distribution.bestTimeLines(4)[31], " 300～★★★");
}

TEST_F(ResultDistributionTest, AnEmptyLevelShowsScaleOneAndEmptyBars) {
    testing::appendRecords(path(), {testing::runRecord(5, 3, 38)});
    refresh();
    for (const auto& lines : {distribution.allResultsLines(2), distribution.bestTimeLines(2)}) {
        ASSERT_EQ(lines.size(), 102u);
        for (std::size_t line = 1; line < lines.size(); ++line) {
            EXPECT_EQ(lines[line].find("★"), std::string::npos) << lines[line];
        }
    }
    EXPECT_EQ(distribution.allResultsLines(2)[0], "レベル2 今まで0回  （★=1）");
}

TEST_F(ResultDistributionTest, TheScaleIsATenthOfTheLargestBandAndBarsAreRounded) {
    std::vector<ResultRecord> records;
    for (int i = 0; i < 25; ++i) records.push_back(testing::runRecord(100 + i, 1, 55));  // band 5
    for (int i = 0; i < 3; ++i) records.push_back(testing::runRecord(200 + i, 1, 65));   // band 6
    testing::appendRecords(path(), records);
    refresh();
    const auto lines = distribution.allResultsLines(1);
    EXPECT_EQ(lines[0], "レベル1 今まで28回  （★=2）");
    EXPECT_EQ(lines[6], "  50～★★★★★★★★★★★★★");  // 25 / 2 + 0.5
    EXPECT_EQ(lines[7], "  60～★★");             // 3 / 2 + 0.5
}

TEST_F(ResultDistributionTest, RecordsOfNoLevelOrNoTimeCountNowhere) {
    testing::appendRecords(path(), {testing::runRecord(5, 0, 30), testing::runRecord(5, 51, 30),
                                    testing::runRecord(5, -2, 30), testing::runRecord(5, 1, -40),
                                    testing::runRecord(-7, 1, 30)});
    refresh();
    EXPECT_EQ(distribution.total(0), 0);
    EXPECT_EQ(distribution.total(1), 1) << "any student number may hold a best time";
    EXPECT_EQ(distribution.bestTimes(1, 3), 1);
}

TEST_F(ResultDistributionTest, ARefreshCountsOnlyWhatWasAppendedAndStartsAfreshWhenTheFileChanged) {
    std::vector<ResultRecord> first;
    for (int i = 0; i < 10; ++i) first.push_back(testing::runRecord(1 + i % 3, 1, 30 + 7 * i));
    testing::appendRecords(path(), first);
    refresh();
    EXPECT_EQ(distribution.recordsCounted(), 10u);

    // Appended since: only the new records are read, and the lists are those of a fresh count.
    testing::appendRecords(path(), {testing::runRecord(1, 1, 12), testing::runRecord(9, 1, 300)});
    refresh();
    EXPECT_EQ(distribution.recordsCounted(), 12u);
    EXPECT_EQ(shownLines(1), freshLines(1));

    // A delete moves records down: counted afresh, even once appends have made up the length.
    PosixRecordFile adminFile;
    const testing::FakeClock clock;
    RecordsAdministration administration(
        adminFile, path(), [](int) {}, clock);
    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(1, [](auto) { return true; })),
              testing::ChangeSeen::Done);
    testing::appendRecords(path(), {testing::runRecord(4, 1, 500)});
    refresh();
    EXPECT_EQ(shownLines(1), freshLines(1));
    EXPECT_EQ(distribution.total(1), 12);

    // A write-back of the last record counted, and a file cut short.
    ASSERT_EQ(testing::outcomeOf(administration.writeBack(
                  12, [](auto) { return true; }, std::nullopt, 45)),
              testing::ChangeSeen::Done);
    refresh();
    EXPECT_EQ(shownLines(1), freshLines(1));
    std::filesystem::resize_file(path(), 3 * ResultRecord::kSize);
    refresh();
    EXPECT_EQ(distribution.total(1), 3);
    std::filesystem::remove(path());
    refresh();
    EXPECT_EQ(distribution.total(1), 0);
}

}  // namespace
}  // namespace gaisan
