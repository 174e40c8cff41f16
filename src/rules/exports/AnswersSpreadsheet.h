#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/AnswerRecord.h"
#include "base/RosterTables.h"
#include "platform/RecordFile.h"
#include "rules/analysis/MistakeKinds.h"
#include "rules/exports/ResultsExport.h"

namespace gaisan {

/// The header line of the answers spreadsheet, UTF-8, without its line end. Scripts rely on the
/// columns' order: date, clock, student, name, grade, level; the two given numbers and the place
/// rounded to; the three boxes as typed; the kind of mistake of each box; the seconds.
const std::string& answersSpreadsheetHeader();

/// The row of one answer of `run`, UTF-8, its fields quoted as RFC 4180 says, without its line
/// end: the run's date and clock, the student's number, `name` and `grade`, the level; the two
/// numbers and the place rounded to (100 for the hundreds); what each box held (empty for an
/// empty box); the kind of mistake of each box as the teacher's screen names it (empty for a
/// right box); the seconds the answer took, to a tenth.
std::string answerRow(const RunIdentity& run, std::string_view name, std::string_view grade,
                      const AnswerRecord& answer);

/// The fields of an answer that the spreadsheet and the mistakes summary both write, unquoted:
/// the two numbers, the place rounded to (100 for the hundreds), what each box held and the kind
/// of mistake of each box (empty for a right box).
std::vector<std::string> answerFields(const AnswerRecord& answer, const AnswerMistakes& mistakes);

/// Which answers go into the spreadsheet: one student's or everybody's, in a period of days.
struct AnswersExportScope {
    std::optional<int> student;  ///< nothing: every student with answers
    ExportPeriod period;
};

struct AnswersExportSummary {
    std::uint64_t rows = 0;                ///< answers written, the header not counted
    std::uint64_t runsWithoutAnswers = 0;  ///< runs in the scope recorded without answers
    std::vector<std::string> problems;     ///< answers files that could not be read, naming them
};

/// Writes the answers of the runs still in the results file, in the scope, as a spreadsheet file
/// to `out`: the header row, then one row per answer (answerRow), in the order the answers were
/// judged across every student; names from the roster, grades in the school year of the run (the
/// year changing in `yearChangeMonth`). A run recorded without answers gives no rows; an answers
/// file that cannot be read is left out and named in the summary. UTF-8 with a byte-order mark,
/// or CP932; lines end in CR LF. A results file that cannot be read is the failure.
Expected<AnswersExportSummary> exportAnswers(RecordFile& file,
                                             const std::filesystem::path& resultsFile,
                                             const RosterTables& roster, int yearChangeMonth,
                                             const AnswersExportScope& scope,
                                             ExportEncoding encoding, std::ostream& out);

/// The students with answers files that may hold answers of the days from `firstDay` to
/// `lastDay` (day serials, both included), in number order, and the widest range of days those
/// files can hold within that period; no students when there are none. A student whose file
/// cannot be read is among them, so that reading their runs names the file.
struct AnswersStudents {
    std::vector<int> students;
    int firstDay = 0;
    int lastDay = 0;
    /// The answers folders of school years in the period that cannot be read, naming them: the
    /// students in them are not known.
    std::vector<std::string> problems;
};
[[nodiscard]] AnswersStudents answersStudentsOf(const std::filesystem::path& resultsFile,
                                                const ExportPeriod& period);

}  // namespace gaisan
