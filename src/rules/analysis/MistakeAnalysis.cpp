#include "rules/analysis/MistakeAnalysis.h"

#include <algorithm>
#include <bit>
#include <thread>
#include <tuple>

#include "base/ResultRecord.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RecordReader.h"

namespace gaisan {
namespace {

bool isNewer(const RunIdentity& a, const RunIdentity& b) {
    return std::pair(a.date, a.clock) > std::pair(b.date, b.clock);
}

/// Keeps `example` among the newest `most` of `examples`, which stay oldest first.
void keepNewest(std::deque<MistakeExample>& examples, MistakeExample&& example, std::size_t most) {
    if (examples.size() == most) {
        if (!isNewer(example.run, examples.front().run)) return;
        examples.pop_front();
    }
    // A student's runs come oldest first: the newest goes last, without moving the others.
    if (examples.empty() || !isNewer(examples.back().run, example.run)) {
        examples.push_back(std::move(example));
        return;
    }
    const auto at = std::find_if(examples.begin(), examples.end(), [&](const MistakeExample& kept) {
        return isNewer(kept.run, example.run);
    });
    examples.insert(at, std::move(example));
}

std::size_t indexOf(MistakeKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

AnswerMistakes mistakesOf(const AnswerRecord& answer) {
    AnswerMistakes mistakes =
        mistakesOf(JudgedAnswer{answer.first, answer.second, answer.place, answer.boxes[0],
                                answer.boxes[1], answer.boxes[2]});
    // The judging decides which boxes are wrong: a box it found right is no mistake however its
    // text reads (an empty box reads as 0, right for a number that rounds to 0), and one it found
    // wrong is a mistake even when its text reads as the right number in some other way.
    BoxMistake* boxes[] = {&mistakes.roundedFirst, &mistakes.roundedSecond, &mistakes.sum};
    for (std::size_t box = 0; box < 3; ++box) {
        if ((answer.wrongBoxes >> box & 1u) == 0) {
            *boxes[box] = {};
        } else if (boxes[box]->kind == MistakeKind::Correct) {
            *boxes[box] = {MistakeKind::Slip};
        }
    }
    return mistakes;
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

std::optional<double> MistakeCounts::answerShareOf(MistakeKind kind) const {
    if (answers == 0) return std::nullopt;
    return static_cast<double>(answersOfKind[indexOf(kind)]) / static_cast<double>(answers);
}

std::vector<MistakeKind> MistakeSummary::weakestKinds() const {
    std::vector<MistakeKind> weakest;
    std::uint64_t most = 0;
    for (const MistakeKindName& entry : mistakeKindNames()) {
        const std::uint64_t boxes = counts.boxesOfKind[indexOf(entry.kind)];
        if (entry.kind == MistakeKind::Correct || entry.kind == MistakeKind::Empty || boxes == 0 ||
            boxes < most) {
            continue;
        }
        if (boxes > most) most = boxes, weakest.clear();
        weakest.push_back(entry.kind);
    }
    if (weakest.empty() && counts.boxesOfKind[indexOf(MistakeKind::Empty)] > 0) {
        weakest.push_back(MistakeKind::Empty);
    }
    return weakest;
}

namespace {

/// Adds the `count` answers of `run` to `summary`: `tallyAt(i)` gives what is counted of answer i,
/// `answerAt(i)` the whole answer, asked for only when it is wrong.
template <typename TallyAt, typename AnswerAt>
void addRun(MistakeSummary& summary, const RunIdentity& run, std::size_t count,
            const TallyAt& tallyAt, const AnswerAt& answerAt) {
    ++summary.runs;
    MistakeCounts& counts = summary.counts;
    MistakeCounts& week = summary.weeks[mondayOf(static_cast<int>(run.date))];
    for (std::size_t i = 0; i < count; ++i) {
        const AnswerTally tally = tallyAt(i);
        ++counts.answers, ++week.answers;
        if (tally.problemType >= 1 &&
            tally.problemType < static_cast<int>(summary.timeByType.size())) {
            TypeTime& time = summary.timeByType[static_cast<std::size_t>(tally.problemType)];
            ++time.answers;
            time.tenths += tally.tenths;
        }
        if (tally.isRight()) {
            ++counts.right, ++week.right;
            continue;
        }
        MistakeExample example{run, answerAt(i), {}};
        example.mistakes = mistakesOf(example.answer);
        const BoxMistake* boxes[] = {&example.mistakes.roundedFirst,
                                     &example.mistakes.roundedSecond, &example.mistakes.sum};
        unsigned shownKinds = 0;  // a bit for each MistakeKind
        for (std::size_t box = 0; box < 3; ++box) {
            if ((tally.wrongBoxes >> box & 1u) == 0) continue;
            const MistakeKind kind = boxes[box]->kind;
            ++counts.wrongBoxes, ++week.wrongBoxes;
            ++counts.boxesOfKind[indexOf(kind)], ++week.boxesOfKind[indexOf(kind)];
            shownKinds |= 1u << indexOf(kind);
        }
        while (shownKinds != 0) {
            const auto kind = static_cast<std::size_t>(std::countr_zero(shownKinds));
            shownKinds &= shownKinds - 1;
            ++counts.answersOfKind[kind], ++week.answersOfKind[kind];
            keepNewest(summary.examples[kind],
                       shownKinds == 0 ? std::move(example) : MistakeExample(example),
                       MistakeSummary::kExamplesPerKind);
        }
    }
}

void addCounts(MistakeCounts& to, const MistakeCounts& from) {
    to.answers += from.answers;
    to.right += from.right;
    to.wrongBoxes += from.wrongBoxes;
    for (std::size_t kind = 0; kind < kMistakeKindCount; ++kind) {
        to.boxesOfKind[kind] += from.boxesOfKind[kind];
        to.answersOfKind[kind] += from.answersOfKind[kind];
    }
}

}  // namespace

void MistakeSummary::add(const RunAnswers& run) {
    addRun(
        *this, run.run, run.answers.size(),
        [&](std::size_t i) {
            const AnswerRecord& answer = run.answers[i];
            return AnswerTally{answer.problemType, answer.wrongBoxes, answer.tenths};
        },
        [&](std::size_t i) { return run.answers[i]; });
}

void MistakeSummary::add(const RunBlock& run) {
    addRun(
        *this, run.run(), run.size(), [&](std::size_t i) { return run.tally(i); },
        [&](std::size_t i) { return run.answer(i); });
}

void MistakeSummary::add(const MistakeSummary& other) {
    runs += other.runs;
    addCounts(counts, other.counts);
    for (std::size_t type = 0; type < timeByType.size(); ++type) {
        timeByType[type].answers += other.timeByType[type].answers;
        timeByType[type].tenths += other.timeByType[type].tenths;
    }
    for (const auto& [monday, weekCounts] : other.weeks) addCounts(weeks[monday], weekCounts);
    for (std::size_t kind = 0; kind < kMistakeKindCount; ++kind) {
        for (const MistakeExample& example : other.examples[kind]) {
            keepNewest(examples[kind], MistakeExample(example), kExamplesPerKind);
        }
    }
}

namespace {

/// A run record of a student in the scope, as the join with the answers needs it: its date,
/// clock and level bit for bit, in an order that finds them fast.
struct RecordedRun {
    std::uint64_t date;
    std::uint64_t clock;
    std::int16_t level;
    bool answered = false;

    auto key() const { return std::tuple(date, clock, level); }
};

/// Each student's run records of the scope, sorted, by the student's place in scope.students.
struct RecordedRuns {
    std::vector<std::vector<RecordedRun>> ofStudent;
    std::uint64_t count = 0;
};

Expected<RecordedRuns> recordedRunsOf(RecordFile& file, const std::filesystem::path& resultsFile,
                                      const AnalysisScope& scope) {
    // The place of each student of the scope, by student number.
    std::vector<int> placeOf;
    for (std::size_t place = 0; place < scope.students.size(); ++place) {
        const int student = scope.students[place];
        if (student < 0) continue;
        if (static_cast<std::size_t>(student) >= placeOf.size()) {
            placeOf.resize(static_cast<std::size_t>(student) + 1, -1);
        }
        placeOf[static_cast<std::size_t>(student)] = static_cast<int>(place);
    }
    RecordedRuns runs;
    runs.ofStudent.resize(scope.students.size());
    const Expected<void> read = readRecords(
        file, resultsFile, {RecordSelection::all(), WhenMissing::IsEmpty},
        [&](const RecordBlock& block) {
            for (std::size_t i = 0; i < block.count(); ++i) {
                const LoadedRecord record = decodeRunFields(block.record(i));
                if (record.student < 0 ||
                    static_cast<std::size_t>(record.student) >= placeOf.size() ||
                    placeOf[static_cast<std::size_t>(record.student)] < 0 ||
                    record.date < scope.firstDay || record.date > scope.lastDay ||
                    (!scope.levels.empty() && std::find(scope.levels.begin(), scope.levels.end(),
                                                        record.level) == scope.levels.end())) {
                    continue;
                }
                ++runs.count;
                runs.ofStudent[static_cast<std::size_t>(
                                   placeOf[static_cast<std::size_t>(record.student)])]
                    .push_back({std::bit_cast<std::uint64_t>(record.date),
                                std::bit_cast<std::uint64_t>(record.clock), record.level});
            }
            return true;
        });
    if (!read) return Unexpected(Failure{resultsFile, read.error().problem, read.error().error});
    // Records come in the order they were written, so a list is mostly sorted already.
    for (auto& ofStudent : runs.ofStudent) {
        if (!std::ranges::is_sorted(ofStudent, {}, &RecordedRun::key)) {
            std::ranges::sort(ofStudent, {}, &RecordedRun::key);
        }
    }
    return runs;
}

}  // namespace

namespace {

/// The school years of `scope` whose answers folders can be read; the others are added to
/// `problems`, each once however many students' files it holds.
std::vector<int> readableYearsOf(const std::filesystem::path& resultsFile,
                                 const AnalysisScope& scope, std::vector<std::string>& problems) {
    std::vector<int> years;
    for (int year = answersYearOf(scope.firstDay); year <= answersYearOf(scope.lastDay); ++year) {
        if (auto readable = answersFolderReadable(resultsFile, year); !readable) {
            problems.push_back(readable.error().text());
        } else {
            years.push_back(year);
        }
    }
    return years;
}

/// Calls `onRun` for the runs with answers of the students at places `first` to `last` of the
/// scope in the school years `years`, reading through `file`; returns how many there were, and
/// adds the files that could not be read to `problems`.
std::uint64_t readAnswersOf(RecordFile& file, const std::filesystem::path& resultsFile,
                            const AnalysisScope& scope, const std::vector<int>& years,
                            RecordedRuns& recorded, std::size_t first, std::size_t last,
                            const RecordedRunVisitor& onRun, std::vector<std::string>& problems) {
    std::uint64_t runsWithAnswers = 0;
    for (std::size_t place = first; place < last; ++place) {
        const int student = scope.students[place];
        std::vector<RecordedRun>& runs = recorded.ofStudent[place];
        if (runs.empty()) continue;
        // Blocks come in the order their records were written: the next record is tried first.
        std::size_t next = 0;
        for (const int year : years) {
            const Expected<AnswersFileRead> read = readAnswersFile(
                file, answersFileOf(resultsFile, year, student), [&](const RunBlock& block) {
                    const RunIdentity& run = block.run();
                    if (run.student != student) return;
                    const RecordedRun wanted{std::bit_cast<std::uint64_t>(run.date),
                                             std::bit_cast<std::uint64_t>(run.clock), run.level};
                    const auto found =
                        next < runs.size() && runs[next].key() == wanted.key()
                            ? runs.begin() + static_cast<std::ptrdiff_t>(next)
                            : std::ranges::lower_bound(runs, wanted.key(), {}, &RecordedRun::key);
                    next = static_cast<std::size_t>(found - runs.begin()) + 1;
                    // Marked when met, so that a block written twice counts once.
                    if (found == runs.end() || found->key() != wanted.key() || found->answered) {
                        return;
                    }
                    found->answered = true;
                    ++runsWithAnswers;
                    onRun(block);
                });
            if (!read) problems.push_back(read.error().text());
        }
    }
    return runsWithAnswers;
}

}  // namespace

Expected<AnswersReadReport> forEachRecordedRun(RecordFile& file,
                                               const std::filesystem::path& resultsFile,
                                               const AnalysisScope& scope,
                                               const RecordedRunVisitor& onRun) {
    Expected<RecordedRuns> read = recordedRunsOf(file, resultsFile, scope);
    if (!read) return Unexpected(read.error());
    RecordedRuns& recorded = *read;
    AnswersReadReport report{recorded.count, recorded.count, {}};
    const std::vector<int> years = readableYearsOf(resultsFile, scope, report.problems);
    report.runsWithoutAnswers -= readAnswersOf(file, resultsFile, scope, years, recorded, 0,
                                               scope.students.size(), onRun, report.problems);
    return report;
}

Expected<MistakeAnalysis> analyseMistakes(RecordFile& file,
                                          const std::filesystem::path& resultsFile,
                                          const AnalysisScope& scope) {
    Expected<RecordedRuns> read = recordedRunsOf(file, resultsFile, scope);
    if (!read) return Unexpected(read.error());
    RecordedRuns& recorded = *read;
    MistakeAnalysis analysis;
    analysis.report = {recorded.count, recorded.count, {}};
    const std::vector<int> years = readableYearsOf(resultsFile, scope, analysis.report.problems);
    // The students in two halves, read and summed side by side on a classroom machine's two
    // cores; each half has its own file, summaries and problems until they are put together.
    struct Half {
        std::map<int, MistakeSummary> students;
        std::uint64_t runsWithAnswers = 0;
        std::vector<std::string> problems;
    };
    const auto sumUp = [&](RecordFile& through, std::size_t first, std::size_t last, Half& half) {
        MistakeSummary* current = nullptr;
        int currentStudent = -1;
        half.runsWithAnswers = readAnswersOf(
            through, resultsFile, scope, years, recorded, first, last,
            [&](const RunBlock& run) {
                // A student's runs come together: the summary is looked up once.
                if (run.run().student != currentStudent) {
                    currentStudent = run.run().student;
                    current = &half.students[currentStudent];
                }
                current->add(run);
            },
            half.problems);
    };
    const std::size_t middle = scope.students.size() / 2;
    Half firstHalf, secondHalf;
    {
        PosixRecordFile secondFile;
        std::jthread second([&] { sumUp(secondFile, middle, scope.students.size(), secondHalf); });
        sumUp(file, 0, middle, firstHalf);
    }
    for (Half* half : {&firstHalf, &secondHalf}) {
        analysis.students.merge(half->students);
        analysis.report.runsWithoutAnswers -= half->runsWithAnswers;
        analysis.report.problems.insert(analysis.report.problems.end(), half->problems.begin(),
                                        half->problems.end());
    }
    // Each answer is judged once, for its student; the group adds up the students.
    for (const auto& [student, summary] : analysis.students) analysis.group.add(summary);
    return analysis;
}

}  // namespace gaisan
