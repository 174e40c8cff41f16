#include "stores/results/AnswersFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/DailyBackup.h"
#include "support/AnswersAppendPrinting.h"
#include "support/ExpectedAssertions.h"
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
    const Expected<AnswersFileRead> result =
        readAnswersFile(file, path, [&](const RunBlock& run) { runs.push_back(run.decoded()); });
    EXPECT_TRUE(testing::succeeded(result));
    if (read && result) *read = *result;
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
    EXPECT_TRUE(runsIn(answersFileOf(results, 2026, 6)).empty()) << "no file, no runs";

    const std::vector<AnswersFileName> files = answersFilesOf(results).files;
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
        const std::optional<Failure>& failure = c.written ? problems.backup : problems.answers;
        ASSERT_TRUE(failure) << c.file;
        const std::string told = failure->text();
        EXPECT_TRUE(told.starts_with(path.string() + ": ")) << told;
        EXPECT_NE(told.find(c.problem), std::string::npos) << told;
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
/// Counts the files opened through it.
class CountingOpens final : public testing::ForwardingRecordFile {
public:
    Expected<void> open(const std::filesystem::path& file) override {
        ++opens;
        return m_file.open(file);
    }
    Expected<void> openForReading(const std::filesystem::path& file) override {
        ++opens;
        return m_file.openForReading(file);
    }
    int opens = 0;
};

TEST(AnswersFile, WhatStandsInAFilesPlaceAndIsNoFileIsNamedWithoutBeingOpened) {
    using Path = std::filesystem::path;
    const struct {
        const char* what;
        void (*make)(const Path& path);
    } cases[] = {
        {"a folder", [](const Path& path) { std::filesystem::create_directory(path); }},
        // Opened, a pipe would keep its reader waiting for a writer that never comes.
        {"a pipe", [](const Path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }},
        // Read, a device may never end.
        {"a link to a device",
         [](const Path& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"a link to nothing",
         [](const Path& path) { std::filesystem::create_symlink(path.string() + ".gone", path); }},
    };
    for (const auto& c : cases) {
        testing::TempFolder folder;
        const Path results = folder / "成績累積データ.dat";
        const Path path = answersFileOf(results, 2026, 12);
        std::filesystem::create_directories(path.parent_path());
        c.make(path);

        CountingOpens file;
        bool called = false;
        const Expected<AnswersFileRead> read =
            readAnswersFile(file, path, [&](const RunBlock&) { called = true; });
        EXPECT_FALSE(called) << c.what;
        ASSERT_FALSE(read) << c.what;
        EXPECT_EQ(read.error().text().find(path.string() + ": "), 0u) << read.error().text();
        // Nor is a run's answers written into it: the failure is told, the run recorded alone.
        EXPECT_EQ(appendRunAnswers(file, results, runOf(12, 0.5), kToday).answers, read.error())
            << c.what;
        EXPECT_EQ(file.opens, 0) << c.what;

        // Listed as the student's file, with the same words, so that a listing and a reading
        // of it name it once.
        const AnswersListing listing = answersFilesOf(results);
        ASSERT_EQ(listing.files.size(), 1u) << c.what;
        EXPECT_EQ(listing.files[0].student, 12);
        EXPECT_EQ(listing.files[0].problem, read.error()) << c.what;
    }
}

TEST(AnswersFile, AYearsFolderThatIsNoFolderIsNamedOnceAndNoneOfItsFilesAreLookedFor) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    const std::filesystem::path year = answersFolderOf(results, 2025);
    folder.writeBytes(year.filename().string(), "not a folder");
    EXPECT_TRUE(testing::succeeded(answersFolderReadable(results, 2026)))
        << "no folder, no problem";
    const Expected<void> readable = answersFolderReadable(results, 2025);
    ASSERT_FALSE(readable);
    const Failure& problem = readable.error();
    EXPECT_EQ(problem.text().find(year.string() + ": "), 0u) << problem.text();

    const AnswersListing listing = answersFilesOf(results);
    EXPECT_TRUE(listing.files.empty());
    ASSERT_EQ(listing.unreadableYears.size(), 1u);
    EXPECT_EQ(listing.unreadableYears[0].year, 2025);
    EXPECT_EQ(listing.unreadableYears[0].problem, problem);
}

TEST(AnswersFile, OnlyNamesTheProgramGivesAreListedAsAnswers) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    for (const char* name :
         {"成績解答データ2026/生徒0000.dat", "成績解答データ2026/生徒5000.dat",
          "成績解答データ2026/生徒5001.dat", "成績解答データ2026/生徒12.dat",
          "成績解答データ2026/生徒-012.dat", "成績解答データ2026/生徒00012.dat",
          "成績解答データ2026/生徒0012.dat.bak", "成績解答データ2026/Thumbs.db",
          "成績解答データ2147483647/生徒0001.dat", "成績解答データ02026/生徒0001.dat",
          "成績解答データ-999/生徒0001.dat", "成績解答データ2026のコピー/生徒0001.dat"}) {
        folder.writeBytes(name, "");
    }
    const AnswersListing listing = answersFilesOf(results);
    ASSERT_EQ(listing.files.size(), 2u);
    EXPECT_EQ(listing.files[0].student, 0);
    EXPECT_EQ(listing.files[1].student, 5000);
    EXPECT_TRUE(listing.unreadableYears.empty());
    std::vector<std::string> strays;
    for (const auto& path : listing.strays)
        strays.push_back(path.lexically_relative(folder.path()).string());
    std::ranges::sort(strays);
    EXPECT_EQ(strays, (std::vector<std::string>{
                          "成績解答データ-999", "成績解答データ02026",
                          "成績解答データ2026/Thumbs.db", "成績解答データ2026/生徒-012.dat",
                          "成績解答データ2026/生徒00012.dat", "成績解答データ2026/生徒0012.dat.bak",
                          "成績解答データ2026/生徒12.dat", "成績解答データ2026/生徒5001.dat",
                          "成績解答データ2026のコピー", "成績解答データ2147483647"}));
}

class FullDisk final : public testing::ForwardingRecordFile {
public:
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override {
        static_cast<void>(m_file.writeDurably(offset, bytes.first(bytes.size() / 2)));
        return testing::failureOf(
            FileError{FileErrorKind::Other, 61, ENOSPC, "ディスクがいっぱいです"});
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
    const std::optional<Failure> failure =
        appendRunAnswers(full, results, runOf(5, 0.2), kToday).answers;
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->text().find(path.string()), std::string::npos) << failure->text();
    EXPECT_NE(failure->text().find("ディスクがいっぱいです"), std::string::npos) << failure->text();
    EXPECT_EQ(std::filesystem::file_size(path), sizeBefore);
}

TEST(AnswersFile, FailuresAreLoggedNewestLastAndTheLogStaysSmall) {
    testing::TempFolder folder;
    const std::filesystem::path results = folder / "成績累積データ.dat";
    EXPECT_TRUE(loggedAnswersProblems(results).failures.empty());
    for (int i = 0; i < 105; ++i) {
        logAnswersFailure(results, {{2026, 12, 10}, 3723.5}, "失敗" + std::to_string(i) + "\n次");
    }
    const std::vector<std::string> logged = loggedAnswersProblems(results).failures;
    ASSERT_EQ(logged.size(), kKeptAnswersFailures);
    EXPECT_EQ(logged.front(), "2026-12-10 01:02:03 失敗5 次");
    EXPECT_EQ(logged.back(), "2026-12-10 01:02:03 失敗104 次");
}

}  // namespace
}  // namespace gaisan
