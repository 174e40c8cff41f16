#include "rules/exports/AnswersSpreadsheet.h"

#include <algorithm>
#include <set>

#include "base/DateTexts.h"
#include "base/IndexedTables.h"
#include "platform/Calendar.h"
#include "platform/Cp932.h"
#include "platform/Utf8.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RunAnswers.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

const std::string kHeader =
    "日付,時刻,生徒番号,名前,学年,レベル,数1,数2,位,概数1,概数2,和,概数1の誤り,概数2の誤り,"
    "和の誤り,秒";

std::string secondsText(std::uint16_t tenths) {
    return std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
}

/// A run kept for the sort as its stored block, 16 bytes an answer where the decoded answer with
/// its three strings takes over a hundred: a whole school's year is held at once.
struct KeptRun {
    RunIdentity run;
    std::vector<std::byte> block;
};

}  // namespace

const std::string& answersSpreadsheetHeader() { return kHeader; }

std::vector<std::string> answerFields(const AnswerRecord& answer, const AnswerMistakes& mistakes) {
    std::vector<std::string> fields = {std::to_string(answer.first), std::to_string(answer.second),
                                       std::to_string(placeValue(answer.place))};
    for (const std::string& box : answer.boxes) fields.push_back(box);
    for (const BoxMistake& box : mistakes.boxes()) fields.push_back(mistakeName(box));
    return fields;
}

std::string answerRow(const RunIdentity& run, std::string_view name, std::string_view grade,
                      const AnswerRecord& answer) {
    std::string row = dateText(run.date) + ',' + clockText(run.clock) + ',' +
                      std::to_string(run.student) + ',' + csvField(name) + ',' + csvField(grade) +
                      ',' + std::to_string(run.level);
    for (const std::string& field : answerFields(answer, mistakesOf(answer)))
        row += ',' + csvField(field);
    return row + ',' + secondsText(answer.tenths);
}

AnswersStudents answersStudentsOf(const std::filesystem::path& resultsFile,
                                  const ExportPeriod& period) {
    const AnswersListing listing = answersFilesOf(resultsFile);
    AnswersStudents found;
    std::set<int> students;
    std::optional<int> firstDay;
    std::optional<int> lastDay;
    // A school year's folder holds the runs from April to March: the days of `year` in the
    // period, if any.
    const auto daysOf = [&](int year) -> std::optional<std::pair<int, int>> {
        const int yearStart = daySerial({year, 4, 1});
        const int yearEnd = daySerial({year + 1, 3, 31});
        const int from = std::max(yearStart, period.firstDay.value_or(yearStart));
        const int to = std::min(yearEnd, period.lastDay.value_or(yearEnd));
        if (from > to) return std::nullopt;
        return std::pair(from, to);
    };
    for (const UnreadableAnswersYear& year : listing.unreadableYears) {
        if (daysOf(year.year)) found.problems.push_back(year.problem.text());
    }
    for (const AnswersFileName& name : listing.files) {
        const auto days = daysOf(name.year);
        if (!days) continue;
        students.insert(name.student);
        firstDay = std::min(days->first, firstDay.value_or(days->first));
        lastDay = std::max(days->second, lastDay.value_or(days->second));
    }
    found.students.assign(students.begin(), students.end());
    found.firstDay = firstDay.value_or(0);
    found.lastDay = lastDay.value_or(0);
    return found;
}

Expected<AnswersExportSummary> exportAnswers(RecordFile& file,
                                             const std::filesystem::path& resultsFile,
                                             const RosterTables& roster, int yearChangeMonth,
                                             const AnswersExportScope& scope,
                                             ExportEncoding encoding, std::ostream& out) {
    const auto encoded = [encoding](const std::string& utf8) {
        return encoding == ExportEncoding::Cp932 ? encodeCp932(utf8) : utf8;
    };
    if (encoding == ExportEncoding::Utf8) out << kSpreadsheetByteOrderMark;
    out << encoded(kHeader) << kSpreadsheetLineEnd;

    AnswersExportSummary summary;
    const AnswersStudents found = answersStudentsOf(resultsFile, scope.period);
    summary.problems = found.problems;
    if (found.students.empty()) return summary;
    AnalysisScope analysisScope{found.students, {}, found.firstDay, found.lastDay};
    if (scope.student) {
        if (!std::ranges::binary_search(found.students, *scope.student)) return summary;
        analysisScope.students = {*scope.student};
    }
    // The runs arrive student by student; the spreadsheet lists them as they were worked.
    std::vector<KeptRun> runs;
    const Expected<AnswersReadReport> report =
        forEachRecordedRun(file, resultsFile, analysisScope, [&](const RunBlock& run) {
            runs.push_back({run.run(), {run.bytes().begin(), run.bytes().end()}});
        });
    if (!report) return Unexpected(report.error());
    summary.runsWithoutAnswers = report->runsWithoutAnswers;
    addNewProblems(summary.problems, report->problems);
    std::ranges::stable_sort(runs, [](const KeptRun& a, const KeptRun& b) {
        return a.run.date != b.run.date ? a.run.date < b.run.date : a.run.clock < b.run.clock;
    });

    std::string rows;
    for (KeptRun& kept : runs) {
        const int student = kept.run.student;
        const std::string name =
            isStudentSlot(student) ? std::string(trimSpaces(roster.RosterNames.at(student))) : "";
        const std::string grade =
            isStudentSlot(student)
                ? gradeLabelIn(
                      schoolYearOf(dateOfSerial(static_cast<int>(kept.run.date)), yearChangeMonth),
                      student, roster)
                : std::string();
        for (const RunAnswers& run : runAnswersIn(kept.block)) {
            for (const AnswerRecord& answer : run.answers) {
                rows += encoded(answerRow(kept.run, name, grade, answer));
                rows += kSpreadsheetLineEnd;
                ++summary.rows;
            }
        }
        kept.block = {};
        if (rows.size() >= 1 << 16) {
            out << rows;
            rows.clear();
        }
    }
    out << rows;
    return summary;
}

}  // namespace gaisan
