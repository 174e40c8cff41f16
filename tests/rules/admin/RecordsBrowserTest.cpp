#include <gtest/gtest.h>

#include <algorithm>

#include "base/RosterTables.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/BrowserStudents.h"
#include "rules/admin/RecordEdit.h"
#include "rules/admin/RecordLine.h"
#include "rules/admin/RecordSnapshot.h"
#include "stores/roster/Roster.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// A roster of a few students as a fresh load of the roster file leaves the tables, in the school
/// year of `today` with the year changing in April.
std::unique_ptr<BrowserStudents> studentsOn(CivilDate today) {
    auto roster = std::make_unique<RosterTables>();
    roster->SchoolYear = schoolYearOf(today, 4);
    const struct {
        int student;
        int year;
        const char* name;
        bool listed;
    } entries[] = {
        {12, 2017, "佐藤　陽菜", true},
        {7, 2011, "長谷川　由紀子", true},  // 7 characters
        {30, 2000, "林", false},            // grade 20: no label; not listed
    };
    for (const auto& entry : entries) {
        std::string name = entry.name;
        name.append(20 - 5, ' ');  // as loaded: padded (a rough pad suffices for trimming)
        roster->RosterNames.at(entry.student) = name;
        roster->RosterYear.at(entry.student) = static_cast<std::int16_t>(entry.year);
        if (entry.listed) {
            ++roster->RosterListCount;
            roster->RosterEntries.at(roster->RosterListCount).StudentIndex =
                static_cast<std::int16_t>(entry.student);
        }
    }
    return BrowserStudents::of(*roster);
}

ResultRecord recordOf(int student, const char* schoolCode, std::int32_t seconds = 55) {
    ResultRecord record = testing::runRecord(student, 1, seconds, {2026, 12, 10},
                                             (9 * 3600 + 15 * 60 + 30) / 86400.0);
    record.SchoolCode = schoolCode;
    return record;
}

TEST(RecordLine, EveryPieceOfTheLine) {
    const auto december = studentsOn({2026, 12, 10});
    const auto march = studentsOn({2027, 3, 31});
    const auto april = studentsOn({2027, 4, 1});
    const std::optional<std::string> ours = "12345";
    const struct {
        const char* name;
        const BrowserStudents& students;
        ResultRecord record;
        std::optional<std::string> installationCode;
        std::string line;
    } cases[] = {
        {"this school", *december, recordOf(12, "12345"), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  12 佐藤　陽菜　 小３++さくら学習塾"},
        {"another school", *december, recordOf(12, "54321"), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  12 佐藤　陽菜　 小３++他塾"},
        {"no school code here", *december, recordOf(12, "     "), std::nullopt,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  12 佐藤　陽菜　 小３++他塾"},
        {"before the year changes", *march, recordOf(12, "12345"), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  12 佐藤　陽菜　 小３++さくら学習塾"},
        {"after the year changes", *april, recordOf(12, "12345"), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  12 佐藤　陽菜　 小４++さくら学習塾"},
        {"a seven-character name is cut to six", *december, recordOf(7, "12345", 99999), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　99999秒 　   7 長谷川　由紀 中３++さくら学習塾"},
        {"a short name is filled; no label beyond high school", *december, recordOf(30, "12345"),
         ours, "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  30 林　　　　　 ++さくら学習塾"},
        {"a student without an entry", *december, recordOf(31, "12345"), ours,
         "   3 2026/12/10　  9:15:30ﾚﾍﾞﾙ1　   55秒 　  31 　　　　　 ++さくら学習塾"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recordLine(3, 4, c.record, c.students, c.installationCode, "さくら学習塾"),
                  c.line)
            << c.name;
    }
}

TEST(RecordLine, NumbersWidenOnlyWhenNeededSoTheLinesStayInRecordOrder) {
    EXPECT_EQ(recordNumberWidth(1), 4u);
    EXPECT_EQ(recordNumberWidth(9999), 4u);
    EXPECT_EQ(recordNumberWidth(10000), 5u);
    EXPECT_EQ(recordNumberWidth(1000000), 7u);
    const auto students = studentsOn({2026, 12, 10});
    std::vector<std::string> lines;
    for (const std::uint64_t number : {1ull, 9ull, 9999ull, 10000ull, 123456ull, 1000000ull}) {
        lines.push_back(recordLine(number, recordNumberWidth(1000000), recordOf(12, "12345"),
                                   *students, std::nullopt, ""));
    }
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    EXPECT_TRUE(lines[0].starts_with("      1 2026/12/10"));
}

TEST(RecordLine, DatesAndClocksThatAreNoTimeShowTheirNumbers) {
    EXPECT_EQ(shortDateText(46366), "2026/12/10");
    EXPECT_EQ(shortDateText(0.5), "0.5");
    EXPECT_EQ(shortDateText(1e300), "1e+300");
    EXPECT_EQ(recordClockText(0), "0:00:00");
    EXPECT_EQ(recordClockText((13 * 3600 + 5 * 60 + 3) / 86400.0), "13:05:03");
    EXPECT_EQ(recordClockText(1.5), "1.5");
}

TEST(BrowserStudents, NamesLabelsAndTheChooserComeFromTheRoster) {
    const auto students = studentsOn({2026, 12, 10});
    EXPECT_EQ(students->chooserItems,
              (std::vector<std::string>{"12 /  佐藤　陽菜", "7 /  長谷川　由紀子"}));
    EXPECT_TRUE(students->inRoster.at(30)) << "an entry not listed still defines its student";
    EXPECT_FALSE(students->inRoster.at(31));
    EXPECT_EQ(students->gradeLabel(-5), "");
    EXPECT_EQ(students->name(6000), "");
}

TEST(RecordEdit, OnlyATimeInDigitsAndAStudentOfTheRosterAreWritten) {
    const auto students = studentsOn({2026, 12, 10});
    const struct {
        const char* seconds;
        const char* chooser;
        int student;  // 0: refused
        int time;
    } cases[] = {
        {"55", "12 /  佐藤　陽菜", 12, 55},
        {" 0 ", "7 /  長谷川　由紀子", 7, 0},
        {"99999", "12", 12, 99999},         // a number typed by hand, without "/"
        {"120", " 30 / whoever", 30, 120},  // only the number before "/" counts
        {"100000", "12 /  佐藤　陽菜", 0, 0},
        {"", "12 /  佐藤　陽菜", 0, 0},
        {"5.5", "12 /  佐藤　陽菜", 0, 0},
        {"12abc", "12 /  佐藤　陽菜", 0, 0},
        {"-3", "12 /  佐藤　陽菜", 0, 0},
        {"55", "佐藤　陽菜", 0, 0},    // a name typed by hand
        {"55", "31 /  nobody", 0, 0},  // no roster entry
        {"55", "0 /", 0, 0},
        {"55", "6000 /", 0, 0},
    };
    for (const auto& c : cases) {
        const auto edit = recordEditOf(c.seconds, c.chooser, *students);
        if (c.student == 0) {
            EXPECT_FALSE(edit) << c.seconds << " / " << c.chooser;
            continue;
        }
        ASSERT_TRUE(edit) << edit.error().problem;
        EXPECT_EQ(edit->student, c.student);
        EXPECT_EQ(edit->seconds, c.time);
    }
}

TEST(RecordSnapshot, ListsEveryRecordButThoseOfLevelZeroAndFindsTheLineToSelect) {
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";
    PosixRecordFile file;
    RecordSnapshot snapshot;
    EXPECT_TRUE(testing::succeeded(snapshot.load(file, path)));
    EXPECT_EQ(snapshot.lineCount(), 0u);
    EXPECT_EQ(snapshot.lineForRecord(1), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(path)) << "a browser's look creates no file";

    testing::appendRecords(path, {testing::runRecord(1, 1, 10), testing::runRecord(2, 0, 20),
                                  testing::runRecord(3, 2, 30), testing::runRecord(4, 3, 40)});
    std::ofstream(path, std::ios::binary | std::ios::app) << "torn";
    ASSERT_TRUE(testing::succeeded(snapshot.load(file, path)));
    EXPECT_EQ(snapshot.recordCount(), 4u);
    ASSERT_EQ(snapshot.lineCount(), 3u);
    EXPECT_EQ(snapshot.recordOfLine(1), 3u);
    EXPECT_EQ(decodeRecord(snapshot.recordBytes(4)).ResultSeconds, 40);
    EXPECT_EQ(snapshot.lineForRecord(1), 0u);
    EXPECT_EQ(snapshot.lineForRecord(2), 1u) << "record 2 has no line: the next one";
    EXPECT_EQ(snapshot.lineForRecord(4), 2u);
    EXPECT_EQ(snapshot.lineForRecord(9), 2u) << "past the end: the last line";
}

}  // namespace
}  // namespace gaisan
