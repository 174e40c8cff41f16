#include "rules/analysis/MistakeScreenTexts.h"

#include <gtest/gtest.h>

#include "support/JudgedAnswers.h"

namespace gaisan {
namespace {

const int kToday = daySerial({2026, 12, 10});  // a Thursday

using testing::answerAtHundreds;

RunAnswers run(int student, int day, std::vector<AnswerRecord> answers, double clock = 0.5) {
    return {RunIdentity{static_cast<double>(day), clock, static_cast<std::int16_t>(student), 2},
            std::move(answers)};
}

// 450 rounds up to 500: typing 400 forgets to round up, and 1600 is then the right sum of the
// child's own roundings.
const AnswerRecord kForgotToRoundUp = answerAtHundreds(450, 1230, {"400", "1200", "1600"});
const AnswerRecord kRight = answerAtHundreds(450, 1230, {"500", "1200", "1700"});

TEST(MistakeScreenTextsTest, PercentagesAndSecondsReadAtAGlance) {
    const struct {
        std::optional<double> share;
        const char* text;
    } percents[] = {{std::nullopt, "－"}, {0.0, "0%"},   {0.004, "1%未満"},
                    {0.125, "13%"},       {0.25, "25%"}, {1.0, "100%"}};
    for (const auto& c : percents) EXPECT_EQ(percentText(c.share), c.text) << c.text;
    EXPECT_EQ(secondsText(std::nullopt), "－");
    EXPECT_EQ(secondsText(4.25), "4.3秒");
    EXPECT_EQ(secondsText(12.0), "12.0秒");
}

TEST(MistakeScreenTextsTest, TheScopeCoversExactlyTheDaysTheMenuCountsForEachPeriod) {
    const CivilDate today = dateOfSerial(kToday);
    for (const Period period :
         {Period::ThisWeek, Period::SinceLastWeek, Period::Month, Period::Year, Period::All}) {
        const AnalysisScope scope = analysisScopeOf({3, 1}, {2}, period, today);
        const int days = PeriodDays(period, today);
        EXPECT_EQ(scope.lastDay, kToday);
        EXPECT_TRUE(inPeriod(scope.firstDay, today, days)) << periodName(period);
        EXPECT_FALSE(inPeriod(scope.firstDay - 1, today, days)) << periodName(period);
        EXPECT_EQ(scope.students, (std::vector<int>{3, 1}));
    }
    EXPECT_EQ(analysisScopeOf({}, {}, Period::ThisWeek, today).firstDay, mondayOf(kToday));
    EXPECT_EQ(scopeText({1, 2}, Period::Month, analysisScopeOf({}, {}, Period::Month, today)),
              "レベル1・2　１ヶ月間（2026年11月11日〜2026年12月10日）");
    EXPECT_EQ(scopeText({}, Period::ThisWeek, analysisScopeOf({}, {}, Period::ThisWeek, today)),
              "全レベル　今週（2026年12月7日〜2026年12月10日）");
}

TEST(MistakeScreenTextsTest, ASummaryNamesTheCountsTheWeakestKindAndTheTimes) {
    MistakeSummary summary;
    summary.add(run(1, kToday, {kForgotToRoundUp, kRight, kRight, kForgotToRoundUp}));
    summary.add(run(1, kToday,
                    {answerAtHundreds(120, 2340,
                                      {
                                          "100",
                                          "2300",
                                          "",
                                      },
                                      100, 1)},
                    0.6));
    const SummaryTexts texts = summaryTexts(summary, "佐藤　陽菜");
    EXPECT_EQ(texts.title, "佐藤　陽菜");
    EXPECT_EQ(texts.counts, "答えた数 5問　正解 2問　まちがい 3問（60%）");
    // Forgetting to round up makes the sum right for the child's own roundings as often: a
    // teacher is told of both, not of whichever is listed first.
    EXPECT_EQ(texts.weakest, "いちばんの課題：切り上げ忘れ・たし算は正しい（概数の誤り）（各40%）");
    EXPECT_EQ(texts.timeByType, "1問あたりの秒数：百の位・3けた 10.0秒　百の位・4けた 5.0秒");
    // Most frequent first; an equal count keeps the teacher's order of the kinds.
    ASSERT_EQ(texts.kinds.size(), 3u);
    EXPECT_EQ(texts.kinds[0].name, "切り上げ忘れ");
    EXPECT_EQ(texts.kinds[0].count, "2");
    EXPECT_EQ(texts.kinds[0].share, "40%");
    EXPECT_EQ(texts.kinds[1].kind, MistakeKind::RightForOwnRounding);
    EXPECT_EQ(texts.kinds[2].kind, MistakeKind::Empty);

    MistakeSummary oneKind;
    oneKind.add(run(1, kToday, {answerAtHundreds(450, 1230, {"400", "1200", "1700"}), kRight}));
    EXPECT_EQ(summaryTexts(oneKind, "").weakest, "いちばんの課題：切り上げ忘れ（100%）");

    const SummaryTexts none = summaryTexts(MistakeSummary{}, "鈴木");
    EXPECT_EQ(none.counts, "この期間に記録された答えはありません");
    EXPECT_TRUE(none.weakest.empty());
    EXPECT_TRUE(none.kinds.empty());
}

TEST(MistakeScreenTextsTest, AnExampleShowsWhatWasTypedBesideTheRightAnswers) {
    MistakeSummary summary;
    summary.add(run(1, kToday - 2, {kForgotToRoundUp}));
    summary.add(run(1, kToday, {answerAtHundreds(450, 1230, {"400", "", "1600"})}));
    const std::vector<ExampleTexts> examples =
        newestExamples(summary, {MistakeKind::RoundedDownNotUp}, 8);
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(examples[0].date, "12/10");  // newest first
    EXPECT_EQ(examples[0].problem, "450 + 1230（百の位まで）");
    EXPECT_EQ(examples[0].typed, "400／未記入／1600");
    EXPECT_EQ(examples[0].right, "500／1200／1700");
    EXPECT_EQ(examples[1].date, "12/8");
    // Each kind once, in box order, however many boxes show it.
    EXPECT_EQ(examples[1].mistakes, "切り上げ忘れ・たし算は正しい（概数の誤り）");
    EXPECT_EQ(newestExamples(summary, {MistakeKind::RoundedDownNotUp}, 1).size(), 1u);
}

TEST(MistakeScreenTextsTest, TheWeeklyTrendLeavesGapsForWeeksWithoutAnswersAndKeepsTheNewestWeeks) {
    const int thisMonday = mondayOf(kToday);
    MistakeSummary summary;
    summary.add(run(1, thisMonday - 14, {kForgotToRoundUp, kRight}));
    summary.add(run(1, thisMonday + 1, {kRight}));
    const Trend trend = weeklyTrend(summary, kToday);
    ASSERT_EQ(trend.mondays, (std::vector<int>{thisMonday - 14, thisMonday - 7, thisMonday}));
    EXPECT_EQ(trend.labels, (std::vector<std::string>{"11/23の週", "11/30の週", "12/7の週"}));
    ASSERT_EQ(trend.series.size(), 3u);
    EXPECT_EQ(trend.series[0].name, "まちがいの割合");
    EXPECT_EQ(trend.series[0].values, (std::vector<std::optional<double>>{0.5, std::nullopt, 0.0}));
    // A week of right answers only has none of a kind, not a gap.
    EXPECT_EQ(trend.series[1].kind, MistakeKind::RoundedDownNotUp);
    EXPECT_EQ(trend.series[1].values, (std::vector<std::optional<double>>{0.5, std::nullopt, 0.0}));
    EXPECT_TRUE(trend.leftOutNote.empty());

    MistakeSummary years;
    years.add(run(1, kToday - 700, {kForgotToRoundUp}));
    years.add(run(1, kToday, {kRight}));
    const Trend newest = weeklyTrend(years, kToday);
    EXPECT_EQ(newest.mondays.size(), Trend::kMostWeeks);
    EXPECT_EQ(newest.mondays.back(), thisMonday);
    EXPECT_TRUE(weeklyTrend(MistakeSummary{}, kToday).mondays.empty());
}

TEST(MistakeScreenTextsTest, EveryLineOfTheTrendIsAShareOfTheSameAnswers) {
    // 2 wrong answers of 14, both forgetting to round up: each kind's line stands at 2 of the 14
    // answers, as the wrong share does, not at its 100% of the mistakes.
    std::vector<AnswerRecord> answers(12, kRight);
    answers.push_back(kForgotToRoundUp);
    answers.push_back(kForgotToRoundUp);
    MistakeSummary summary;
    summary.add(run(1, kToday, answers));
    const Trend trend = weeklyTrend(summary, kToday);
    ASSERT_EQ(trend.series.size(), 3u);
    for (const TrendSeries& series : trend.series)
        EXPECT_EQ(series.values, std::vector<std::optional<double>>{2.0 / 14}) << series.name;
}

TEST(MistakeScreenTextsTest, TheTrendNamesTheKindsItHasNoRoomFor) {
    // Six kinds, one answer each: the two listed last are left out of the chart and named.
    MistakeSummary summary;
    summary.add(run(1, kToday,
                    {answerAtHundreds(450, 1230, {"400", "1200", "1700"}),
                     answerAtHundreds(449, 1230, {"500", "1200", "1600"}),
                     answerAtHundreds(450, 1230, {"450", "1200", "1700"}),
                     answerAtHundreds(450, 1230, {"500", "1200", ""}),
                     answerAtHundreds(450, 1230, {"500", "12", "1700"}),
                     answerAtHundreds(450, 1230, {"500", "12000", "1700"})}));
    const Trend trend = weeklyTrend(summary, kToday);
    const SummaryTexts texts = summaryTexts(summary, "");
    ASSERT_EQ(texts.kinds.size(), 6u);
    ASSERT_EQ(trend.series.size(), 1 + Trend::kMostKinds);
    for (std::size_t i = 0; i < Trend::kMostKinds; ++i)
        EXPECT_EQ(trend.series[1 + i].name, texts.kinds[i].name);
    EXPECT_EQ(trend.leftOutNote,
              "グラフにないまちがい：" + texts.kinds[4].name + "・" + texts.kinds[5].name);
}

TEST(MistakeScreenTextsTest, TheTeacherIsNoStudentOfTheAnalysis) {
    // Roster names come padded with spaces.
    EXPECT_FALSE(isAnalysedStudent("先生"));
    EXPECT_FALSE(isAnalysedStudent("先生    "));
    EXPECT_TRUE(isAnalysedStudent("佐藤　陽菜"));
    EXPECT_TRUE(isAnalysedStudent("先生方"));
}

TEST(MistakeScreenTextsTest, TiedKindsShareTheExamplesEachAnswerOnce) {
    MistakeSummary summary;
    // One answer rounding one number down and the other up, then one answer of each alone.
    summary.add(run(1, kToday - 2, {answerAtHundreds(450, 1249, {"400", "1300", "1700"})}));
    summary.add(run(1, kToday - 1, {answerAtHundreds(450, 1230, {"400", "1200", "1700"})}));
    summary.add(run(1, kToday, {answerAtHundreds(449, 1230, {"500", "1200", "1600"})}));
    const std::vector<MistakeKind> tied = summary.weakestKinds();
    ASSERT_EQ(tied, (std::vector{MistakeKind::RoundedDownNotUp, MistakeKind::RoundedUpNotDown}));
    const std::vector<ExampleTexts> examples = newestExamples(summary, tied, 8);
    ASSERT_EQ(examples.size(), 3u);
    EXPECT_EQ(examples[0].date, "12/10");
    EXPECT_EQ(examples[1].date, "12/9");
    EXPECT_EQ(examples[2].date, "12/8");
    EXPECT_EQ(newestExamples(summary, tied, 2).size(), 2u);
}

TEST(MistakeScreenTextsTest, PagesShowTheWeakestKindsExamplesAndEveryChosenStudent) {
    MistakeAnalysis analysis;
    analysis.students[1].add(run(1, kToday, {kForgotToRoundUp, kRight}));
    analysis.group.add(run(1, kToday, {kForgotToRoundUp, kRight}));
    const std::vector<ChosenStudent> chosen = {{1, "佐藤　陽菜"}, {2, "勅使河原　美咲"}};

    const AnalysisPage page = studentPage(analysis, chosen[0], "全レベル", kToday);
    EXPECT_EQ(page.heading, "つまずき分析　佐藤　陽菜");
    EXPECT_EQ(page.examplesHeading, "例：切り上げ忘れ・たし算は正しい（概数の誤り）");
    EXPECT_EQ(page.examples.size(), 1u) << "one answer showing both kinds";
    const AnalysisPage empty = studentPage(analysis, chosen[1], "全レベル", kToday);
    EXPECT_EQ(empty.summary.counts, "この期間に記録された答えはありません");
    EXPECT_TRUE(empty.examples.empty());

    const std::string title = groupTitle("小６", true, 2);
    EXPECT_EQ(title, "小６の全員（2人）");
    EXPECT_EQ(groupTitle("全学年", false, 3), "選んだ生徒（3人）");
    const AnalysisPage summary = summaryPage(analysis, chosen, title, "全レベル", kToday);
    EXPECT_EQ(summary.summary.counts, "答えた数 2問　正解 1問　まちがい 1問（50%）");
    ASSERT_EQ(summary.students.size(), 2u);
    EXPECT_EQ(summary.students[0].wrong, "1（50%）");
    EXPECT_EQ(summary.students[0].weakest, "切り上げ忘れ・たし算は正しい（概数の誤り）");
    EXPECT_EQ(summary.students[1].name, "勅使河原　美咲");
    EXPECT_EQ(summary.students[1].answers, "0");
    EXPECT_EQ(summary.students[1].wrong, "0（－）");
    EXPECT_EQ(summary.students[1].weakest, "－");
}

TEST(MistakeScreenTextsTest, AnUnreadableFileIsNamedFromInsideTheDataFolder) {
    const struct {
        const char* folder;
        const char* problem;
        const char* note;
    } cases[] = {
        {"/mnt/juku/data/gaisan", "/mnt/juku/data/gaisan/成績解答データ2026/生徒0012.dat: 理由",
         "成績解答データ2026/生徒0012.dat: 理由"},
        {"/mnt/juku/data/gaisan/", "/mnt/juku/data/gaisan/成績解答データ2026: 理由",
         "成績解答データ2026: 理由"},
        // Only a whole folder's name is left off, never part of a name.
        {"/mnt/juku/data/gai", "/mnt/juku/data/gaisan/成績解答データ2026: 理由",
         "/mnt/juku/data/gaisan/成績解答データ2026: 理由"},
    };
    for (const auto& c : cases) EXPECT_EQ(unreadableAnswersNote(c.problem, c.folder), c.note);
}

}  // namespace
}  // namespace gaisan