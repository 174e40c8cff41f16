#include "rules/exports/AnswersSpreadsheet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Calendar.h"
#include "platform/Cp932.h"
#include "platform/PosixRecordFile.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

AnswerRecord answer(int first, int second, int place, std::array<std::string, 3> boxes,
                    std::uint8_t wrongBoxes, std::uint16_t tenths) {
    AnswerRecord a;
    a.first = first;
    a.second = second;
    a.place = static_cast<std::int8_t>(place);
    a.boxes = std::move(boxes);
    a.wrongBoxes = wrongBoxes;
    a.tenths = tenths;
    return a;
}

const RunIdentity kRun{static_cast<double>(daySerial({2026, 12, 10})), 0.5, 12, 3};

TEST(AnswersSpreadsheet, RowHasTheColumnsScriptsRelyOn) {
    const std::string down = mistakeName({MistakeKind::RoundedDownNotUp});
    const std::string empty = mistakeName({MistakeKind::Empty});
    ASSERT_FALSE(down.empty());
    struct Case {
        const char* what;
        AnswerRecord answer;
        std::string name;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"all right, hundreds", answer(150, 349, 2, {"200", "300", "500"}, 0, 42), "佐藤　陽菜",
         "2026-12-10,12:00:00,12,佐藤　陽菜,小５,3,150,349,100,200,300,500,,,,4.2"},
        {"rounded down, an empty sum, thousands",
         answer(4500, 1200, 3, {"4000", "1000", ""}, 0b101, 65535), "佐藤　陽菜",
         "2026-12-10,12:00:00,12,佐藤　陽菜,小５,3,4500,1200,1000,4000,1000,," + down + ",," +
             empty + ",6553.5"},
        {"a comma typed and a name to quote", answer(150, 349, 2, {"2,00", "300", "500"}, 1, 0),
         "鈴木\"蓮, 2",
         "2026-12-10,12:00:00,12,\"鈴木\"\"蓮, 2\",小５,3,150,349,100,\"2,00\",300,500," +
             mistakeName(
                 mistakesOf(answer(150, 349, 2, {"2,00", "300", "500"}, 1, 0)).roundedFirst) +
             ",,,0.0"},
        // A spreadsheet would run these as formulas: each text cell keeps its text behind an
        // apostrophe, and a text beginning with one gets another, so a script can always take
        // the first off.
        {"a name and typed boxes a spreadsheet would run",
         answer(150, 349, 2, {"-4*5", "+300", "@"}, 0b111, 0), "=HYPERLINK(\"x\")",
         "2026-12-10,12:00:00,12,\"'=HYPERLINK(\"\"x\"\")\",小５,3,150,349,100,'-4*5,'+300,'@," +
             mistakeName({MistakeKind::Slip}) + "," + mistakeName({MistakeKind::Slip}) + "," +
             mistakeName({MistakeKind::AdditionSlip}) + ",0.0"},
        {"a name beginning with an apostrophe", answer(150, 349, 2, {"200", "300", "500"}, 0, 0),
         "'佐藤", "2026-12-10,12:00:00,12,''佐藤,小５,3,150,349,100,200,300,500,,,,0.0"},
        {"a name beginning with a tab", answer(150, 349, 2, {"200", "300", "500"}, 0, 0), "\t佐藤",
         "2026-12-10,12:00:00,12,'\t佐藤,小５,3,150,349,100,200,300,500,,,,0.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(answerRow(kRun, c.name, "小５", c.answer), c.expected) << c.what;
    }
    EXPECT_EQ(std::count(answersSpreadsheetHeader().begin(), answersSpreadsheetHeader().end(), ','),
              15);
}

/// A data folder's results file with runs of two students and their answers files, written as
/// the program leaves them.
class AnswersExport : public ::testing::Test {
protected:
    void SetUp() override {
        using testing::runRecord;
        // Student 2's run lies between student 1's; student 1's run at 0.6 has no answers; the
        // answers of a run whose record is gone (deleted) lie in student 2's file.
        const std::vector<ResultRecord> records = {
            runRecord(1, 1, 50, {2026, 12, 10}, 0.25), runRecord(2, 1, 60, {2026, 12, 10}, 0.3),
            runRecord(1, 2, 70, {2026, 12, 10}, 0.4), runRecord(1, 2, 70, {2026, 12, 10}, 0.6)};
        testing::appendRecords(m_results, records);
        const double day = daySerial({2026, 12, 10});
        writeRun({{day, 0.25, 1, 1}, {answer(150, 349, 2, {"200", "300", "500"}, 0, 31)}});
        writeRun({{day, 0.4, 1, 2}, {answer(160, 220, 2, {"200", "200", "400"}, 0, 52)}});
        writeRun({{day, 0.3, 2, 1},
                  {answer(1500, 2400, 3, {"1000", "2000", "3000"}, 0b111, 80),
                   answer(1500, 2400, 3, {"2000", "2000", "4000"}, 0, 40)}});
        writeRun({{day, 0.35, 2, 1}, {answer(1, 1, 2, {"0", "0", "0"}, 0, 10)}});
        m_roster.RosterNames.at(1) = "佐藤　陽菜";
        m_roster.RosterYear.at(1) = 2017;
    }

    void writeRun(const RunAnswers& run) {
        const auto block = encodeRunAnswers(run);
        const auto file = answersFileOf(m_results, answersYearOf(run.run.date), run.run.student);
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(block.data()),
                   static_cast<std::streamsize>(block.size()));
    }

    std::vector<std::string> rows(const AnswersExportScope& scope,
                                  ExportEncoding encoding = ExportEncoding::Utf8) {
        std::ostringstream out;
        PosixRecordFile file;
        m_summary = exportAnswers(file, m_results, m_roster, 4, scope, encoding, out).value();
        std::string text = out.str();
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            EXPECT_NE(end, std::string::npos) << "a line without CR LF";
            if (end == std::string::npos) break;
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }

    testing::TempFolder m_folder;
    std::filesystem::path m_results = m_folder / "成績累積データ.dat";
    RosterTables m_roster;
    AnswersExportSummary m_summary;
};

/// The first fields of each row after the header: clock, student, first number.
std::vector<std::string> keysOf(const std::vector<std::string>& lines) {
    std::vector<std::string> keys;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::istringstream fields(lines[i]);
        std::string date, clock, student, name, grade, level, first;
        for (std::string* field : {&date, &clock, &student, &name, &grade, &level, &first}) {
            std::getline(fields, *field, ',');
        }
        keys.push_back(clock + " " + student + " " + first);
    }
    return keys;
}

TEST_F(AnswersExport, RowsFollowTheRunsInTheOrderTheyWereWorkedAndOnlyRecordedOnes) {
    const auto lines = rows({});
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], std::string(kSpreadsheetByteOrderMark) + answersSpreadsheetHeader());
    EXPECT_EQ(keysOf(lines), (std::vector<std::string>{"06:00:00 1 150", "07:12:00 2 1500",
                                                       "07:12:00 2 1500", "09:36:00 1 160"}));
    EXPECT_EQ(m_summary.rows, 4u);
    EXPECT_EQ(m_summary.runsWithoutAnswers, 1u);
    EXPECT_TRUE(m_summary.problems.empty());
    // Names and grades come from the roster; a student it does not know has neither.
    EXPECT_NE(lines[1].find(",1,佐藤　陽菜,小３,1,"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(",2,,,1,"), std::string::npos) << lines[2];
}

TEST_F(AnswersExport, StudentAndDaysNarrowTheRowsAndCp932EncodesEveryLine) {
    EXPECT_EQ(keysOf(rows({2, {}})),
              (std::vector<std::string>{"07:12:00 2 1500", "07:12:00 2 1500"}));
    EXPECT_EQ(keysOf(rows({3, {}})), std::vector<std::string>{});
    const int day = daySerial({2026, 12, 10});
    EXPECT_EQ(rows({std::nullopt, {day + 1, std::nullopt}}).size(), 1u);
    EXPECT_EQ(rows({std::nullopt, {std::nullopt, day}}).size(), 5u);

    const auto lines = rows({1, {}}, ExportEncoding::Cp932);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], encodeCp932(answersSpreadsheetHeader()));
    EXPECT_NE(lines[1].find(encodeCp932("佐藤　陽菜")), std::string::npos);
}

TEST_F(AnswersExport, AYearThatCannotBeReadIsNamedOnceAndNamesNotTheProgramsArePassedOver) {
    // Last school year's folder has become a file; names the program never writes are beside
    // this year's (a student past the last, a year that would overflow the next year's number).
    const std::filesystem::path lastYear = answersFolderOf(m_results, 2025);
    m_folder.writeBytes(lastYear.filename().string(), "not a folder");
    m_folder.writeBytes("成績解答データ2026/生徒5001.dat", "");
    m_folder.writeBytes("成績解答データ2147483647/生徒0001.dat", "");

    EXPECT_EQ(keysOf(rows({})), (std::vector<std::string>{"06:00:00 1 150", "07:12:00 2 1500",
                                                          "07:12:00 2 1500", "09:36:00 1 160"}));
    ASSERT_EQ(m_summary.problems.size(), 1u);
    EXPECT_EQ(m_summary.problems[0].find(lastYear.string() + ": "), 0u) << m_summary.problems[0];
    // Nobody's answers of this year lie in that folder.
    rows({std::nullopt, {daySerial({2026, 4, 1}), std::nullopt}});
    EXPECT_TRUE(m_summary.problems.empty());
}

}  // namespace
}  // namespace gaisan
