#include "answers/MistakeAnalysis.h"

#include <algorithm>
#include <unordered_set>

#include "answers/AnswersFile.h"
#include "platform/DataFileError.h"
#include "records/RecordReader.h"
#include "records/ResultRecord.h"

namespace gaisan {
namespace {

/// Day serial 2, 1 January 1900, was a Monday.
int mondayOf(double date) {
    const auto day = static_cast<int>(date);
    return day - ((day - 2) % 7 + 7) % 7;
}

bool isNewer(const RunIdentity& a, const RunIdentity& b) {
    return std::pair(a.date, a.clock) > std::pair(b.date, b.clock);
}

/// Keeps `example` among the newest `most` of `examples`, which stay oldest first.
void keepNewest(std::vector<MistakeExample>& examples, const MistakeExample& example,
                std::size_t most) {
    if (examples.size() == most) {
        if (!isNewer(example.run, examples.front().run)) return;
        examples.erase(examples.begin());
    }
    const auto at = std::find_if(examples.begin(), examples.end(), [&](const MistakeExample& kept) {
        return isNewer(kept.run, example.run);
    });
    examples.insert(at, example);
}

std::size_t indexOf(MistakeKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

AnswerMistakes mistakesOf(const AnswerRecord& answer) {
    return mistakesOf(JudgedAnswer{answer.first, answer.second, answer.place, answer.boxes[0],
                                   answer.boxes[1], answer.boxes[2]});
}

std::optional<double> TypeTime::secondsPerAnswer() const {
    if (answers == 0) return std::nullopt;
    return static_cast<double>(tenths) / 10.0 / static_cast<double>(answers);
}

std::optional<double> MistakeCounts::wrongShare() const {
    if (answers == 0) return std::nullopt;
    return static_cast<double>(wrong()) / static_cast<double>(answers);
}

std::optional<double> MistakeCounts::shareOf(MistakeKind kind) const {
    if (wrongBoxes == 0) return std::nullopt;
    return static_cast<double>(boxesOfKind[indexOf(kind)]) / static_cast<double>(wrongBoxes);
}

std::optional<MistakeKind> MistakeSummary::weakestKind() const {
    std::optional<MistakeKind> weakest;
    std::uint64_t most = 0;
    for (const MistakeKindName& entry : mistakeKindNames()) {
        const std::uint64_t boxes = counts.boxesOfKind[indexOf(entry.kind)];
        if (entry.kind == MistakeKind::Correct || entry.kind == MistakeKind::Empty) continue;
        if (boxes > most) most = boxes, weakest = entry.kind;
    }
    if (!weakest && counts.boxesOfKind[indexOf(MistakeKind::Empty)] > 0) {
        weakest = MistakeKind::Empty;
    }
    return weakest;
}

void MistakeSummary::add(const RunAnswers& run) {
    ++runs;
    MistakeCounts& week = weeks[mondayOf(run.run.date)];
    for (const AnswerRecord& answer : run.answers) {
        ++counts.answers, ++week.answers;
        if (answer.problemType >= 1 && answer.problemType < static_cast<int>(timeByType.size())) {
            TypeTime& time = timeByType[static_cast<std::size_t>(answer.problemType)];
            ++time.answers;
            time.tenths += answer.tenths;
        }
        if (answer.isRight()) {
            ++counts.right, ++week.right;
            continue;
        }
        const AnswerMistakes mistakes = mistakesOf(answer);
        const BoxMistake* boxes[] = {&mistakes.roundedFirst, &mistakes.roundedSecond,
                                     &mistakes.sum};
        std::array<bool, kMistakeKindCount> shown{};
        for (std::size_t box = 0; box < 3; ++box) {
            if ((answer.wrongBoxes >> box & 1u) == 0) continue;
            // A box the judging found wrong is a mistake even when its text reads as the right
            // number in some other way ("400." is judged by its leading number only).
            const MistakeKind kind =
                boxes[box]->kind == MistakeKind::Correct ? MistakeKind::Slip : boxes[box]->kind;
            ++counts.wrongBoxes, ++week.wrongBoxes;
            ++counts.boxesOfKind[indexOf(kind)], ++week.boxesOfKind[indexOf(kind)];
            shown[indexOf(kind)] = true;
        }
        for (std::size_t kind = 0; kind < kMistakeKindCount; ++kind) {
            if (shown[kind]) {
                keepNewest(examples[kind], {run.run, answer, mistakes}, kExamplesPerKind);
            }
        }
    }
}

AnswersReadReport forEachRecordedRun(RecordFile& file, const std::filesystem::path& resultsFile,
                                     const AnalysisScope& scope, const RecordedRunVisitor& onRun) {
    AnswersReadReport report;
    std::vector<bool> studentInScope;
    for (int student : scope.students) {
        if (student < 0) continue;
        if (static_cast<std::size_t>(student) >= studentInScope.size()) {
            studentInScope.resize(static_cast<std::size_t>(student) + 1);
        }
        studentInScope[static_cast<std::size_t>(student)] = true;
    }
    const auto inScope = [&](const LoadedRecord& record) {
        return record.student >= 0 &&
               static_cast<std::size_t>(record.student) < studentInScope.size() &&
               studentInScope[static_cast<std::size_t>(record.student)] &&
               record.date >= scope.firstDay && record.date <= scope.lastDay &&
               (scope.levels.empty() || std::find(scope.levels.begin(), scope.levels.end(),
                                                  record.level) != scope.levels.end());
    };
    // The runs whose record is in the file now: only their answers count.
    std::unordered_set<RunIdentity, RunIdentityHash> recorded;
    const auto error =
        readRecords(file, resultsFile, {RecordSelection::all(), WhenMissing::IsEmpty},
                    [&](const RecordBlock& block) {
                        for (std::size_t i = 0; i < block.count(); ++i) {
                            const LoadedRecord record = decodeRunFields(block.record(i));
                            if (!inScope(record)) continue;
                            ++report.runsInScope;
                            recorded.insert({record.date, record.clock,
                                             static_cast<std::int16_t>(record.student),
                                             static_cast<std::int16_t>(record.level)});
                        }
                        return true;
                    });
    if (error) throw DataFileError(resultsFile, error->description);

    std::uint64_t runsWithAnswers = 0;
    const int firstYear = answersYearOf(scope.firstDay);
    const int lastYear = answersYearOf(scope.lastDay);
    for (int student : scope.students) {
        for (int year = firstYear; year <= lastYear; ++year) {
            const AnswersFileRead read = readAnswersFile(
                file, answersFileOf(resultsFile, year, student), [&](RunAnswers&& run) {
                    // Taken out when met, so that a block written twice counts once.
                    if (run.run.student == student && recorded.erase(run.run) == 1) {
                        ++runsWithAnswers;
                        onRun(run);
                    }
                });
            if (read.error) report.problems.push_back(*read.error);
        }
    }
    report.runsWithoutAnswers = report.runsInScope - runsWithAnswers;
    return report;
}

MistakeAnalysis analyseMistakes(RecordFile& file, const std::filesystem::path& resultsFile,
                                const AnalysisScope& scope) {
    MistakeAnalysis analysis;
    analysis.report = forEachRecordedRun(file, resultsFile, scope, [&](const RunAnswers& run) {
        analysis.students[run.run.student].add(run);
        analysis.group.add(run);
    });
    return analysis;
}

}  // namespace gaisan
