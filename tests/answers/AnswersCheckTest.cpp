#include "answers/AnswersCheck.h"

#include <gtest/gtest.h>

#include "answers/AnswersFailureLog.h"
#include "answers/AnswersFile.h"
#include "platform/Calendar.h"
#include "platform/PosixRecordFile.h"
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

}  // namespace
}  // namespace gaisan
