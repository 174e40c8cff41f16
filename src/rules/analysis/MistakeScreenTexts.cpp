#include "rules/analysis/MistakeScreenTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>

#include "rules/drill/ProblemGenerator.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

constexpr std::string_view kNothing = "－";
constexpr std::string_view kBoxSeparator = "／";

std::string monthDay(int serial) {
    const CivilDate date = dateOfSerial(serial);
    return std::to_string(date.month) + "/" + std::to_string(date.day);
}

std::string longMonthDay(int serial) {
    const CivilDate date = dateOfSerial(serial);
    return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" +
           std::to_string(date.day) + "日";
}

/// The kinds found among the wrong boxes of `counts`, most frequent first; a stable sort keeps
/// the teacher's order of mistakeKindNames() among equals.
std::vector<MistakeKind> kindsFound(const MistakeCounts& counts) {
    std::vector<MistakeKind> kinds;
    for (const MistakeKindName& entry : mistakeKindNames()) {
        if (entry.kind == MistakeKind::Correct) continue;
        if (counts.boxesOfKind.at(static_cast<std::size_t>(entry.kind)) > 0)
            kinds.push_back(entry.kind);
    }
    std::stable_sort(kinds.begin(), kinds.end(), [&](MistakeKind a, MistakeKind b) {
        return counts.boxesOfKind.at(static_cast<std::size_t>(a)) >
               counts.boxesOfKind.at(static_cast<std::size_t>(b));
    });
    return kinds;
}

std::string kindName(MistakeKind kind) { return mistakeName(BoxMistake{kind}); }

/// "切り上げ忘れ・切り上げすぎ": the names of `kinds` in their order.
std::string kindNames(const std::vector<MistakeKind>& kinds) {
    std::string names;
    for (const MistakeKind kind : kinds) names += (names.empty() ? "" : "・") + kindName(kind);
    return names;
}

/// Whether one of the wrong boxes of `example` is of `kind`.
bool shows(const MistakeExample& example, MistakeKind kind) {
    const auto boxes = example.mistakes.boxes();
    return std::ranges::any_of(boxes, [&](const BoxMistake& box) { return box.kind == kind; });
}

std::string boxText(const std::string& typed) { return typed.empty() ? "未記入" : typed; }

std::string numberText(double value) { return std::to_string(std::llround(value)); }

}  // namespace

AnalysisScope analysisScopeOf(std::vector<int> students, std::vector<int> levels, Period period,
                              const CivilDate& today) {
    AnalysisScope scope;
    scope.students = std::move(students);
    scope.levels = std::move(levels);
    scope.lastDay = daySerial(today);
    // inPeriod admits a record dated after today − PeriodDays: the first day is the one after.
    scope.firstDay = scope.lastDay - PeriodDays(period, today) + 1;
    return scope;
}

std::string percentText(std::optional<double> share) {
    if (!share) return std::string(kNothing);
    const long long percent = std::llround(std::floor(*share * 100 + 0.5));
    if (percent == 0 && *share > 0) return "1%未満";
    return std::to_string(percent) + "%";
}

std::string tenthsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::floor(seconds * 10 + 0.5) / 10);
    return text;
}

std::string secondsText(std::optional<double> seconds) {
    return seconds ? tenthsText(*seconds) + "秒" : std::string(kNothing);
}

std::string problemTypeName(int problemType) {
    switch (problemType) {
        case 1:
            return "百の位・3けた";
        case 2:
            return "百の位・4けた";
        case 3:
            return "千の位・4けた";
        default:
            return "";
    }
}

std::string scopeText(const std::vector<int>& levels, Period period, const AnalysisScope& scope) {
    std::string text;
    if (levels.empty()) {
        text = "全レベル";
    } else {
        text = "レベル";
        for (std::size_t i = 0; i < levels.size(); ++i) {
            if (i != 0) text += "・";
            text += std::to_string(levels[i]);
        }
    }
    return text + "　" + std::string(periodName(period)) + "（" + longMonthDay(scope.firstDay) +
           "〜" + longMonthDay(scope.lastDay) + "）";
}

SummaryTexts summaryTexts(const MistakeSummary& summary, std::string title) {
    SummaryTexts texts;
    texts.title = std::move(title);
    const MistakeCounts& counts = summary.counts;
    if (counts.answers == 0) {
        texts.counts = "この期間に記録された答えはありません";
        return texts;
    }
    texts.counts = "答えた数 " + std::to_string(counts.answers) + "問　正解 " +
                   std::to_string(counts.right) + "問　まちがい " + std::to_string(counts.wrong()) +
                   "問（" + percentText(counts.wrongShare()) + "）";
    // Kinds tied for the most boxes share one percentage: "各" says it belongs to each.
    const std::vector<MistakeKind> weakest = summary.weakestKinds();
    texts.weakest = "いちばんの課題：" +
                    (weakest.empty() ? std::string("なし")
                                     : kindNames(weakest) + (weakest.size() > 1 ? "（各" : "（") +
                                           percentText(counts.shareOf(weakest.front())) + "）");
    std::string times;
    for (int type = 1; type <= 3; ++type) {
        const std::optional<double> seconds =
            summary.timeByType.at(static_cast<std::size_t>(type)).secondsPerAnswer();
        if (!seconds) continue;
        times += (times.empty() ? "" : "　") + problemTypeName(type) + " " + secondsText(seconds);
    }
    texts.timeByType = "1問あたりの秒数：" + (times.empty() ? std::string(kNothing) : times);
    for (const MistakeKind kind : kindsFound(counts)) {
        texts.kinds.push_back(
            {kind, kindName(kind),
             std::to_string(counts.boxesOfKind.at(static_cast<std::size_t>(kind))),
             percentText(counts.shareOf(kind))});
    }
    return texts;
}

ExampleTexts exampleTexts(const MistakeExample& example) {
    const AnswerRecord& answer = example.answer;
    ExampleTexts texts;
    texts.date = monthDay(static_cast<int>(example.run.date));
    texts.problemLines = {std::to_string(answer.first) + " + " + std::to_string(answer.second),
                          "（" + placeName(answer.place + 1) + "の位まで）"};
    texts.problem = texts.problemLines[0] + texts.problemLines[1];
    texts.typed = boxText(answer.boxes[0]) + std::string(kBoxSeparator) + boxText(answer.boxes[1]) +
                  std::string(kBoxSeparator) + boxText(answer.boxes[2]);
    const double first = RoundToPlace(answer.first, answer.place);
    const double second = RoundToPlace(answer.second, answer.place);
    texts.right = numberText(first) + std::string(kBoxSeparator) + numberText(second) +
                  std::string(kBoxSeparator) + numberText(first + second);
    for (const BoxMistake& box : example.mistakes.boxes()) {
        if (box.kind == MistakeKind::Correct) continue;
        const std::string name = mistakeName(box);
        if (std::find(texts.kinds.begin(), texts.kinds.end(), name) == texts.kinds.end())
            texts.kinds.push_back(name);
    }
    for (const std::string& name : texts.kinds)
        texts.mistakes += (texts.mistakes.empty() ? "" : "・") + name;
    return texts;
}

std::vector<ExampleTexts> newestExamples(const MistakeSummary& summary,
                                         const std::vector<MistakeKind>& kinds, std::size_t most) {
    // An answer showing two of the kinds is kept among the newest of each: it is taken from the
    // first kind's. Should that kind no longer hold it, it holds kExamplesPerKind newer answers,
    // enough to fill `most` without it.
    most = std::min(most, MistakeSummary::kExamplesPerKind);
    std::vector<const MistakeExample*> newest;
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const auto& examples = summary.examples.at(static_cast<std::size_t>(kinds[i]));
        for (auto it = examples.rbegin(); it != examples.rend(); ++it) {
            const auto shownEarlier = kinds.begin() + static_cast<std::ptrdiff_t>(i);
            if (std::any_of(kinds.begin(), shownEarlier,
                            [&](MistakeKind earlier) { return shows(*it, earlier); })) {
                continue;
            }
            newest.push_back(&*it);
        }
    }
    std::ranges::stable_sort(newest, std::ranges::greater{}, [](const MistakeExample* example) {
        return std::pair(example->run.date, example->run.clock);
    });
    std::vector<ExampleTexts> texts;
    for (std::size_t i = 0; i < newest.size() && i < most; ++i)
        texts.push_back(exampleTexts(*newest[i]));
    return texts;
}

Trend weeklyTrend(const MistakeSummary& summary, int lastDay) {
    Trend trend;
    if (summary.weeks.empty()) return trend;
    const int lastMonday = std::max(mondayOf(lastDay), summary.weeks.rbegin()->first);
    const int earliest = lastMonday - 7 * static_cast<int>(Trend::kMostWeeks - 1);
    const int firstMonday = std::max(summary.weeks.begin()->first, earliest);
    for (int monday = firstMonday; monday <= lastMonday; monday += 7) {
        trend.mondays.push_back(monday);
        trend.labels.push_back(monthDay(monday) + "の週");
    }
    const auto valuesOf = [&](const auto& valueOfWeek) {
        std::vector<std::optional<double>> values;
        for (const int monday : trend.mondays) {
            const auto week = summary.weeks.find(monday);
            values.push_back(week == summary.weeks.end() ? std::nullopt
                                                         : valueOfWeek(week->second));
        }
        return values;
    };
    trend.series.push_back({"まちがいの割合", std::nullopt,
                            valuesOf([](const MistakeCounts& week) { return week.wrongShare(); })});
    const std::vector<MistakeKind> kinds = kindsFound(summary.counts);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const MistakeKind kind = kinds[i];
        if (i >= Trend::kMostKinds) {
            trend.leftOutNote +=
                (trend.leftOutNote.empty() ? "グラフにないまちがい：" : "・") + kindName(kind);
            continue;
        }
        trend.series.push_back({kindName(kind), kind, valuesOf([kind](const MistakeCounts& week) {
                                    return week.answerShareOf(kind);
                                })});
    }
    return trend;
}

StudentRowTexts studentRowTexts(const MistakeSummary& summary, std::string name) {
    const MistakeCounts& counts = summary.counts;
    const std::vector<MistakeKind> weakest = summary.weakestKinds();
    return {std::move(name), std::to_string(counts.answers), std::to_string(counts.right),
            std::to_string(counts.wrong()) + "（" + percentText(counts.wrongShare()) + "）",
            weakest.empty() ? std::string(kNothing) : kindNames(weakest)};
}

namespace {

const MistakeSummary& summaryOf(const MistakeAnalysis& analysis, int student) {
    static const MistakeSummary kNoAnswers;
    const auto found = analysis.students.find(student);
    return found == analysis.students.end() ? kNoAnswers : found->second;
}

}  // namespace

AnalysisPage studentPage(const MistakeAnalysis& analysis, const ChosenStudent& student,
                         const std::string& scope, int lastDay) {
    const MistakeSummary& summary = summaryOf(analysis, student.student);
    AnalysisPage page;
    page.heading = "つまずき分析　" + student.name;
    page.scope = scope;
    page.summary = summaryTexts(summary, student.name);
    page.trend = weeklyTrend(summary, lastDay);
    if (const std::vector<MistakeKind> weakest = summary.weakestKinds(); !weakest.empty()) {
        page.examplesHeading = "例：" + kindNames(weakest);
        page.examples = newestExamples(summary, weakest, AnalysisPage::kMostExamples);
    }
    return page;
}

AnalysisPage summaryPage(const MistakeAnalysis& analysis,
                         const std::vector<ChosenStudent>& students, const std::string& title,
                         const std::string& scope, int lastDay) {
    AnalysisPage page;
    page.heading = "つまずき分析　" + title;
    page.scope = scope;
    page.summary = summaryTexts(analysis.group, title);
    page.trend = weeklyTrend(analysis.group, lastDay);
    for (const ChosenStudent& student : students)
        page.students.push_back(
            studentRowTexts(summaryOf(analysis, student.student), student.name));
    return page;
}

bool isAnalysedStudent(std::string_view rosterName) { return !isTeacherName(rosterName); }

std::string groupTitle(std::string_view band, bool wholeBand, std::size_t students) {
    const std::string count = "（" + std::to_string(students) + "人）";
    return wholeBand ? std::string(band) + "の全員" + count : "選んだ生徒" + count;
}

std::string unreadableAnswersNote(std::string_view problem,
                                  const std::filesystem::path& dataFolder) {
    std::string prefix = dataFolder.string();
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    if (problem.starts_with(prefix)) problem.remove_prefix(prefix.size());
    return std::string(problem);
}

}  // namespace gaisan
