#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Expected.h"
#include "platform/RecordFile.h"
#include "rules/analysis/MistakeKinds.h"
#include "stores/results/RunAnswers.h"

namespace gaisan {

// The mistake analysis reads the recorded answers of a scope and sums them up; the teacher's
// screen and pages show the sums through MistakeScreenTexts, `gaisan-records mistakes` prints
// them through MistakeCommandLines.

/// Which recorded answers are looked at.
struct AnalysisScope {
    std::vector<int> students;  ///< the students, by roster number
    std::vector<int> levels;    ///< empty: every level
    int firstDay = 0;           ///< day serials, both included
    int lastDay = 0;
};

/// A recorded run with its answers, as the analysis and the spreadsheet meet it: only a run
/// whose record is still in the results file, with the student the record names now.
using RecordedRunVisitor = std::function<void(const RunBlock&)>;

/// What reading the answers of a scope found besides the runs.
struct AnswersReadReport {
    std::uint64_t runsInScope = 0;         ///< run records in the scope
    std::uint64_t runsWithoutAnswers = 0;  ///< of them, runs recorded without answers
    std::vector<std::string> problems;     ///< files that could not be read, naming them
};

/// Calls `onRun` for each run of `scope` that has answers, student by student in the order of
/// `scope.students`, each student's runs in the order they were recorded. A run's answers count
/// only while its record is in the results file: a deleted run's answers no longer count, and a
/// run a teacher moved to another student counts for that student (its answers were copied
/// there with it). A results file that cannot be read is the failure; answers files that cannot
/// be read are the report's problems.
Expected<AnswersReadReport> forEachRecordedRun(RecordFile& file,
                                               const std::filesystem::path& resultsFile,
                                               const AnalysisScope& scope,
                                               const RecordedRunVisitor& onRun);

/// The kinds of the three boxes of a recorded answer, as the judging found them: Correct for a
/// box judged right whatever its text, never Correct for one judged wrong (その他の誤り when
/// nothing else explains it).
[[nodiscard]] AnswerMistakes mistakesOf(const AnswerRecord& answer);

/// Answers and time of one problem type.
struct TypeTime {
    std::uint64_t answers = 0;
    std::uint64_t tenths = 0;
    /// Seconds per answer; nothing without answers.
    std::optional<double> secondsPerAnswer() const;
};

/// Counts of answers and of the kinds of their wrong boxes.
struct MistakeCounts {
    std::uint64_t answers = 0;
    std::uint64_t right = 0;
    std::uint64_t wrongBoxes = 0;  ///< every wrong box of every answer
    std::array<std::uint64_t, kMistakeKindCount> boxesOfKind{};  ///< by MistakeKind
    /// The answers with at least one wrong box of each kind, by MistakeKind: an answer with
    /// both roundings down counts once.
    std::array<std::uint64_t, kMistakeKindCount> answersOfKind{};

    std::uint64_t wrong() const { return answers - right; }
    /// The share of wrong answers, 0 to 1; nothing without answers.
    std::optional<double> wrongShare() const;
    /// The share of `kind` among the wrong boxes, 0 to 1; nothing without wrong boxes.
    std::optional<double> shareOf(MistakeKind kind) const;
    /// The share of all answers that show `kind`, 0 to 1: on the same scale as wrongShare() and
    /// never above it. Nothing without answers.
    std::optional<double> answerShareOf(MistakeKind kind) const;
};

/// A wrong answer to show a child: the problem, what was typed and the kinds.
struct MistakeExample {
    RunIdentity run;
    AnswerRecord answer;
    AnswerMistakes mistakes;
};

/// The summary of one student's answers, or of a group's.
struct MistakeSummary {
    /// Examples kept of each kind: the newest.
    static constexpr std::size_t kExamplesPerKind = 8;

    std::uint64_t runs = 0;
    MistakeCounts counts;
    std::array<TypeTime, 4> timeByType{};  ///< by problem type 1 to 3 (0 unused)
    std::map<int, MistakeCounts> weeks;    ///< the weeks with answers, by their Monday's day serial
    /// The newest wrong answers showing each kind, oldest first, by MistakeKind.
    std::array<std::deque<MistakeExample>, kMistakeKindCount> examples;

    /// The kinds of mistake that most need work: the most frequent among the wrong boxes, every
    /// one of them when several are found equally often, in the order of mistakeKindNames(). An
    /// empty box is no mistake of understanding and counts only when nothing else is found.
    /// Empty without wrong boxes.
    std::vector<MistakeKind> weakestKinds() const;

    /// Adds the answers of a run; a block's are decoded only where they are wrong.
    void add(const RunAnswers& run);
    void add(const RunBlock& run);
    /// Adds another summary's counts, times and weeks, and keeps the newest of both's examples.
    void add(const MistakeSummary& other);
};

/// The summaries of a scope.
struct MistakeAnalysis {
    std::map<int, MistakeSummary> students;  ///< the students with answers
    MistakeSummary group;                    ///< everybody in the scope together
    AnswersReadReport report;
};

/// Reads the answers of `scope` (forEachRecordedRun) and sums them up.
Expected<MistakeAnalysis> analyseMistakes(RecordFile& file,
                                          const std::filesystem::path& resultsFile,
                                          const AnalysisScope& scope);

}  // namespace gaisan
