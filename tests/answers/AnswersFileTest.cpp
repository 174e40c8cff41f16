#include "answers/AnswersFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "answers/AnswersFailureLog.h"
#include "platform/PosixRecordFile.h"
#include "records/DailyBackup.h"
#include "support/AnswersAppendPrinting.h"
#include "support/ForwardingRecordFile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

RunAnswers runOf(int student, double clock, int answers = 3) {
    RunAnswers run{{46366, clock, static_cast<std::int16_t>(student), 1}, {}};
    for (int i = 0; i < answers; ++i) {
        AnswerRecord answer;
        answer.first = 450 + i;
        answer.second = 120;
        answer.boxes = {"500", "100", "600"};
        run.answers.push_back(answer);
    }
    return run;
}

std::vector<RunAnswers> runsIn(const std::filesystem::path& path, AnswersFileRead* read = nullptr) {
    PosixRecordFile file;
    std::vector<RunAnswers> runs;
    const AnswersFileRead result =
        readAnswersFile(file, path, [&](const RunBlock& run) { runs.push_back(run.decoded()); });
    if (read) *read = result;
    return runs;
}

constexpr CivilDate kToday{2026, 12, 10};

TEST(AnswersFile, EachStudentsYearHasAFileBesideTheResultsFile) {
    const std::filesystem::path results = "/data/gaisan/成績累積データ.dat";
    EXPECT_EQ(answersFileOf(results, 2026, 12), "/data/gaisan/成績解答データ2026/生徒0012.dat");
    EXPECT_EQ(answersBackupOf(results, 2026, 12, kToday),
              "/data/gaisan/成績バックアップ/成績解答データ2026-2026-12-10/生徒0012.dat");
    // A school year runs from April to March.
    EXPECT_EQ(answersYearOf(daySerial({2027, 3, 31})), 2026);
    EXPECT_EQ(answersYearOf(daySerial({2027, 4, 1})), 2027);
}

TEST(AnswersFile, RunsAreAppendedWholeAfterWhatACrashLeftAndReadBackInOrder) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    PosixRecordFile file;
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.1), kToday), AnswersAppendProblems{});
    const std::filesystem::path path = answersFileOf(results, 2026, 5);
    // A crash cut the next block short part way through a slot.
    const std::vector<std::byte> torn = encodeRunAnswers(runOf(5, 0.2));
    {
        std::ofstream stream(path, std::ios::binary | std::ios::app);
        stream.write(reinterpret_cast<const char*>(torn.data()), 40);
    }
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.3, 12), kToday), AnswersAppendProblems{});

    AnswersFileRead read;
    const std::vector<RunAnswers> runs = runsIn(path, &read);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], runOf(5, 0.1));
    EXPECT_EQ(runs[1], runOf(5, 0.3, 12));
    EXPECT_EQ(read.bytesLeftOut, 32u)
        << "the torn block's two whole slots; its half slot written over";
    EXPECT_EQ(read.error, std::nullopt);
    EXPECT_TRUE(runsIn(answersFileOf(results, 2026, 6)).empty()) << "no file, no runs";

    const std::vector<AnswersFileName> files = answersFilesOf(results);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].year, 2026);
    EXPECT_EQ(files[0].student, 5);
}

TEST(AnswersFile, TheFirstAppendOfADayCopiesTheFileAsItWas) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    PosixRecordFile file;
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.1), {2026, 12, 9}),
              AnswersAppendProblems{});
    EXPECT_FALSE(std::filesystem::exists(answersBackupOf(results, 2026, 5, {2026, 12, 9})))
        << "nothing to copy before the first run";
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.2), kToday), AnswersAppendProblems{});
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.3), kToday), AnswersAppendProblems{});
    const std::vector<RunAnswers> copied = runsIn(answersBackupOf(results, 2026, 5, kToday));
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(copied[0], runOf(5, 0.1));
}

TEST(AnswersFile, AFileGrownByDamageIsNotCopiedUnderTheLock) {
    const struct {
        const char* file;
        std::uint64_t size;
        bool written;
        const char* problem;
    } cases[] = {
        {"larger than any year of runs", kLargestCopiedAnswersFile + kAnswerSlotSize, true,
         "今日のバックアップを取りませんでした"},
        {"too large to take more answers", kAppendLockOffset, false, "大きくなりすぎて"},
    };
    for (const auto& c : cases) {
        testing::TempFolder folder;
        const std::filesystem::path results = folder / "成績累積データ.dat";
        const std::filesystem::path path = answersFileOf(results, 2026, 5);
        folder.writeBytes(path.lexically_relative(folder.path()).string(), "");
        // Zeros, sparse, as a crash on a share leaves them.
        std::filesystem::resize_file(path, c.size);
        PosixRecordFile file;
        const AnswersAppendProblems problems =
            appendRunAnswers(file, results, runOf(5, 0.1), kToday);
        const std::optional<std::string>& told = c.written ? problems.backup : problems.answers;
        ASSERT_TRUE(told) << c.file;
        EXPECT_TRUE(told->starts_with(path.string() + ": ")) << *told;
        EXPECT_NE(told->find(c.problem), std::string::npos) << *told;
        EXPECT_EQ(c.written ? problems.answers : problems.backup, std::nullopt)
            << c.file << ": one problem, told once";
        EXPECT_FALSE(std::filesystem::exists(answersBackupOf(results, 2026, 5, kToday))) << c.file;
        EXPECT_EQ(std::filesystem::file_size(path) > c.size, c.written) << c.file;
    }
}

TEST(AnswersFile, OnlyTheNewestFourteenDaysOfCopiesAreKept) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    PosixRecordFile file;
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.1), {2026, 11, 1}),
              AnswersAppendProblems{});
    for (int day = 2; day <= 20; ++day) {
        ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.1 + day / 100.0), {2026, 11, day}),
                  AnswersAppendProblems{});
    }
    std::vector<std::string> kept;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "成績バックアップ")) {
        kept.push_back(entry.path().filename().string());
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_EQ(kept.size(), kKeptBackups);
    EXPECT_EQ(kept.front(), "成績解答データ2026-2026-11-07");
    EXPECT_EQ(kept.back(), "成績解答データ2026-2026-11-20");
}

/// The real file, except that writes fail as on a full disk.
class FullDisk final : public testing::ForwardingRecordFile {
public:
    std::optional<FileError> writeDurably(std::uint64_t offset,
                                          std::span<const std::byte> bytes) override {
        static_cast<void>(m_file.writeDurably(offset, bytes.first(bytes.size() / 2)));
        return FileError{FileErrorKind::Other, 61, ENOSPC, "ディスクがいっぱいです"};
    }
};

TEST(AnswersFile, AFullDiskIsToldNamingTheFileAndLeavesNoPartOfTheRun) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    PosixRecordFile file;
    ASSERT_EQ(appendRunAnswers(file, results, runOf(5, 0.1), kToday), AnswersAppendProblems{});
    const std::filesystem::path path = answersFileOf(results, 2026, 5);
    const auto sizeBefore = std::filesystem::file_size(path);
    FullDisk full;
    const std::optional<std::string> failure =
        appendRunAnswers(full, results, runOf(5, 0.2), kToday).answers;
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(path.string()), std::string::npos) << *failure;
    EXPECT_NE(failure->find("ディスクがいっぱいです"), std::string::npos) << *failure;
    EXPECT_EQ(std::filesystem::file_size(path), sizeBefore);
}

TEST(AnswersFile, FailuresAreLoggedNewestLastAndTheLogStaysSmall) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    EXPECT_TRUE(loggedAnswersFailures(results).empty());
    for (int i = 0; i < 105; ++i) {
        logAnswersFailure(results, {{2026, 12, 10}, 3723.5}, "失敗" + std::to_string(i) + "\n次");
    }
    const std::vector<std::string> logged = loggedAnswersFailures(results);
    ASSERT_EQ(logged.size(), kKeptAnswersFailures);
    EXPECT_EQ(logged.front(), "2026-12-10 01:02:03 失敗5 次");
    EXPECT_EQ(logged.back(), "2026-12-10 01:02:03 失敗104 次");
}

}  // namespace
}  // namespace gaisan
