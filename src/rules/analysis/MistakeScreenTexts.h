#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Periods.h"
#include "platform/Calendar.h"
#include "rules/analysis/MistakeAnalysis.h"

namespace gaisan {

/// The texts of the teacher's mistake analysis, on the screen and on paper alike. Every text is
/// one a teacher takes in at a glance: short Japanese words, whole percentages, seconds to a
/// tenth.

/// The answers of `students` (roster numbers) on `levels` (empty: every level) within `period`
/// as the level menu counts it from `today`: the days after today − PeriodDays, today included.
[[nodiscard]] AnalysisScope analysisScopeOf(std::vector<int> students, std::vector<int> levels,
                                            Period period, const CivilDate& today);

/// "25%": a share of 0 to 1 as a whole percentage, rounded half up; a share above nothing that
/// would round to 0 is "1%未満", so that a mistake that happened is never shown as none. "－"
/// for nothing.
[[nodiscard]] std::string percentText(std::optional<double> share);

/// "4.2", seconds to a tenth, rounded half up.
[[nodiscard]] std::string tenthsText(double seconds);

/// "4.2秒", as tenthsText; "－" for nothing.
[[nodiscard]] std::string secondsText(std::optional<double> seconds);

/// The name of a problem type as the teacher knows it: "百の位・3けた" (1), "百の位・4けた" (2),
/// "千の位・4けた" (3); "" for any other.
[[nodiscard]] std::string problemTypeName(int problemType);

/// The line that says what was analysed: "レベル１・２　１ヶ月間（11月11日〜12月10日）", or
/// "全レベル" when `levels` is empty.
[[nodiscard]] std::string scopeText(const std::vector<int>& levels, Period period,
                                    const AnalysisScope& scope);

/// One kind of mistake found among the wrong boxes.
struct KindRow {
    MistakeKind kind = MistakeKind::Slip;
    std::string name;   ///< "切り上げ忘れ"
    std::string count;  ///< "12"
    std::string share;  ///< "40%", of the wrong boxes
};

/// The texts of a summary, one student's or the group's.
struct SummaryTexts {
    std::string title;   ///< the student's name, or the group's title
    std::string counts;  ///< "答えた数 40問　正解 30問　まちがい 10問（25%）"
    /// "いちばんの課題：切り上げ忘れ（40%）"; kinds found equally often all named, with the share
    /// each has: "いちばんの課題：切り上げ忘れ・切り上げすぎ（各30%）"; "いちばんの課題：なし".
    std::string weakest;
    std::string timeByType;  ///< "1問あたりの秒数：百の位・3けた 4.2秒　千の位・4けた 6.0秒"
    /// The kinds found, most frequent first, ties in the order of mistakeKindNames().
    std::vector<KindRow> kinds;
};

/// The texts of `summary` under `title`. A summary without answers says so in `counts`
/// ("この期間に記録された答えはありません") and leaves the rest empty.
[[nodiscard]] SummaryTexts summaryTexts(const MistakeSummary& summary, std::string title);

/// A wrong answer as the teacher shows it to a child.
struct ExampleTexts {
    std::string date;     ///< "12/3"
    std::string problem;  ///< "348 + 1275（百の位まで）"
    /// The problem in two lines, "348 + 1275" and "（百の位まで）", for a narrow column.
    std::vector<std::string> problemLines;
    std::string typed;  ///< "300／1200／1500", an empty box as "未記入"
    std::string right;  ///< "300／1300／1600"
    std::string
        mistakes;  ///< the kinds of the wrong boxes, "切り上げ忘れ・たし算は正しい（概数の誤り）"
    /// The same kinds one by one, for a line each where a whole line would not fit.
    std::vector<std::string> kinds;
};

[[nodiscard]] ExampleTexts exampleTexts(const MistakeExample& example);

/// The examples of `kinds` in `summary`, newest first, each answer once however many of the kinds
/// it shows; at most `most`, which MistakeSummary::kExamplesPerKind bounds.
[[nodiscard]] std::vector<ExampleTexts> newestExamples(const MistakeSummary& summary,
                                                       const std::vector<MistakeKind>& kinds,
                                                       std::size_t most);

/// One line of the week-by-week chart: the share of the week's answers that were wrong, or that
/// show one kind of mistake. Every line is a share of the same answers, so a kind's line never
/// rises above the wrong share's and one scale reads them all.
struct TrendSeries {
    std::string name;
    std::optional<MistakeKind> kind;            ///< nothing for the wrong share
    std::vector<std::optional<double>> values;  ///< by week; nothing for a week without answers
};

/// The week-by-week chart of a summary.
struct Trend {
    /// The most weeks a chart shows: half a school year, readable in a small chart.
    static constexpr std::size_t kMostWeeks = 26;
    /// The most kinds a chart draws besides the wrong share: more lines would hide each other.
    static constexpr std::size_t kMostKinds = 4;
    /// The chart's title, saying what its percentages are shares of.
    static constexpr std::string_view kCaption = "週ごとの推移（答えた数のうちの割合）";

    std::vector<int> mondays;         ///< the weeks, by their Monday's day serial
    std::vector<std::string> labels;  ///< "12/7の週", each week named by its Monday
    std::vector<TrendSeries> series;  ///< the wrong share first, then the kinds
    /// The kinds found but not drawn, so that a teacher does not take them for absent:
    /// "グラフにないまちがい：位の取り違え・0が多い"; empty when every kind found is drawn.
    std::string leftOutNote;
};

/// The weeks from the first with answers to the week of `lastDay`, the newest kMostWeeks of
/// them; the wrong share ("まちがいの割合") and the kMostKinds kinds found most often in the
/// summary, each as its share of all answers. A summary without answers has no weeks.
[[nodiscard]] Trend weeklyTrend(const MistakeSummary& summary, int lastDay);

/// A student's row of the class summary.
struct StudentRowTexts {
    std::string name;
    std::string answers;  ///< "40"
    std::string right;    ///< "30"
    std::string wrong;    ///< "10（25%）"
    std::string weakest;  ///< "切り上げ忘れ"; "切り上げ忘れ・切り上げすぎ" for a tie; "－" for none
};

[[nodiscard]] StudentRowTexts studentRowTexts(const MistakeSummary& summary, std::string name);

/// A printed page of the analysis: one student's, or the class summary.
struct AnalysisPage {
    /// The most examples a student's page shows: what fits under the chart.
    static constexpr std::size_t kMostExamples = 8;

    std::string heading;  ///< "つまずき分析　佐藤　陽菜"
    std::string scope;    ///< scopeText
    SummaryTexts summary;
    Trend trend;
    /// A student's page: the newest examples of the kinds that most need work, under
    /// "例：切り上げ忘れ"; empty without wrong answers.
    std::string examplesHeading;
    std::vector<ExampleTexts> examples;
    /// The class summary: a row for every chosen student, those without answers included, so
    /// that the teacher sees who has none.
    std::vector<StudentRowTexts> students;
};

/// A student chosen for the analysis: roster number and name.
struct ChosenStudent {
    int student = 0;
    std::string name;
};

/// The page of `student`, whose answers `analysis` may lack (a page saying so).
[[nodiscard]] AnalysisPage studentPage(const MistakeAnalysis& analysis,
                                       const ChosenStudent& student, const std::string& scope,
                                       int lastDay);

/// The class summary page of `students`, titled `groupTitle`.
[[nodiscard]] AnalysisPage summaryPage(const MistakeAnalysis& analysis,
                                       const std::vector<ChosenStudent>& students,
                                       const std::string& groupTitle, const std::string& scope,
                                       int lastDay);

/// Whether the roster entry named `rosterName` is one of the students the analysis looks at:
/// everyone but the teacher (isTeacherName), whose own runs try the drill out and are no child's
/// mistakes to count among the class's.
[[nodiscard]] bool isAnalysedStudent(std::string_view rosterName);

/// The group's title: "小６の全員（32人）" for a whole band, "選んだ生徒（3人）" otherwise.
[[nodiscard]] std::string groupTitle(std::string_view band, bool wholeBand, std::size_t students);

/// The teacher's note of answers that could not be read, one of AnswersReadReport::problems:
/// the sentence from inside `dataFolder` on ("成績解答データ2026/生徒0012.dat: …"). The folder the
/// program uses is no news to the teacher; the year's folder and the student's file say whose
/// answers are missing.
[[nodiscard]] std::string unreadableAnswersNote(std::string_view problem,
                                                const std::filesystem::path& dataFolder);

}  // namespace gaisan
