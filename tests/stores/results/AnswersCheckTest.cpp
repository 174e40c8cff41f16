#include "stores/results/AnswersCheck.h"

#include <gtest/gtest.h>

#include "platform/Calendar.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

TEST(AnswersCheck, CountsEachYearsFilesAndNamesLeftOutBytesAndLoggedFailures) {
    testing::TempFolder folder;
    const auto results = folder / "成績累積データ.dat";
    AnswerRecord answer;
    answer.boxes = {"200", "300", "500"};
    const auto block = [&](int student, const CivilDate& day) {
        const auto bytes = encodeRunAnswers(
            {{static_cast<double>(daySerial(day)), 0.5, static_cast<std::int16_t>(student), 1},
             {answer}});
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    const auto name = [&](int year, int student) {
        return answersFileOf(results, year, student).lexically_relative(folder.path()).string();
    };
    folder.writeBytes(name(2025, 1), block(1, {2026, 3, 31}));
    folder.writeBytes(name(2026, 1), block(1, {2026, 4, 1}) + block(1, {2026, 4, 2}));
    // A write cut short after a whole run: its 20 bytes count for nothing.
    folder.writeBytes(name(2026, 2), block(2, {2026, 4, 1}) + block(2, {2026, 4, 2}).substr(0, 20));
    logAnswersFailure(results, {{2026, 4, 3}, 36000}, "full disk");

    PosixRecordFile file;
    const AnswersCheck check = answersCheckOf(file, results);
    ASSERT_EQ(check.years.size(), 2u);
    EXPECT_EQ(check.years[0].year, 2025);
    EXPECT_EQ(check.years[0].files, 1u);
    EXPECT_EQ(check.years[0].bytes, 48u);
    EXPECT_EQ(check.years[1].year, 2026);
    EXPECT_EQ(check.years[1].files, 2u);
    EXPECT_EQ(check.years[1].bytes, 3 * 48u + 20u);
    EXPECT_TRUE(check.problems.empty());
    ASSERT_EQ(check.warnings.size(), 1u);
    EXPECT_EQ(check.warnings[0].find((folder / name(2026, 2)).string() + ": 20 bytes"), 0u)
        << check.warnings[0];
    ASSERT_EQ(check.failures.size(), 1u);
    EXPECT_NE(check.failures[0].find("full disk"), std::string::npos);
}

TEST(AnswersCheck, NamesWhatCannotBeReadOrSharedAndPassesOverNamesNotThePrograms) {
    testing::TempFolder folder;
    const auto results = folder / "成績累積データ.dat";
    // A classroom's folder that everybody writes, as the package sets it up.
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const auto year = answersFolderOf(results, 2026);
    std::filesystem::create_directory(year);
    std::filesystem::permissions(year, std::filesystem::perms::all);
    folder.writeBytes("成績解答データ2026/生徒0001.dat", "");
    std::filesystem::permissions(answersFileOf(results, 2026, 1),
                                 static_cast<std::filesystem::perms>(0666));
    // Made by a user whose umask took the others' write away.
    folder.writeBytes("成績解答データ2026/生徒0002.dat", "");
    std::filesystem::permissions(answersFileOf(results, 2026, 2),
                                 static_cast<std::filesystem::perms>(0644));
    std::filesystem::create_directory(answersFileOf(results, 2026, 3));
    std::filesystem::permissions(answersFileOf(results, 2026, 3), std::filesystem::perms::all);
    folder.writeBytes("成績解答データ2026/生徒5001.dat", "");
    std::filesystem::permissions(folder / "成績解答データ2026/生徒5001.dat",
                                 static_cast<std::filesystem::perms>(0666));

    PosixRecordFile file;
    const AnswersCheck check = answersCheckOf(file, results);
    ASSERT_EQ(check.years.size(), 1u);
    EXPECT_EQ(check.years[0].files, 3u);
    ASSERT_EQ(check.problems.size(), 2u);
    EXPECT_EQ(check.problems[0].find(answersFileOf(results, 2026, 2).string() + ": "), 0u)
        << check.problems[0];
    EXPECT_NE(check.problems[0].find("0644"), std::string::npos) << check.problems[0];
    EXPECT_EQ(check.problems[1].find(answersFileOf(results, 2026, 3).string() + ": "), 0u)
        << check.problems[1];
    ASSERT_EQ(check.warnings.size(), 1u);
    EXPECT_EQ(check.warnings[0].find((folder / "成績解答データ2026/生徒5001.dat").string() + ": "),
              0u)
        << check.warnings[0];
}

}  // namespace
}  // namespace gaisan
