#pragma once

#include <array>
#include <string>
#include <string_view>

namespace gaisan {

// The fixed texts of the student's screens, kept in one place so that every front-end (the
// desktop's windows, the browser's pages) says the same. Texts made from figures are built by
// the functions below and by the rules that decide them.

// The name list.
inline constexpr std::string_view kNamePrompt = "名前を選びなさい";
inline constexpr std::string_view kNameOk = "O.K.";
/// The doubled "ﾟ" is deliberate: the button has always read so in the suite.
inline constexpr std::string_view kLeaveToLauncher = "ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)";
inline constexpr std::string_view kGradeBandTip = "表示する学年を選びなさい";
/// The choices of the figures shown after each name, in the order of FigureMode.
inline constexpr std::array<std::string_view, 4> kFigureModeCaptions = {
    "回数(今日／今まで）", "ポイント（今日／今まで）", "本日（ポイント／回数）",
    "今まで（ポイント／回数）"};

// The level menu.
inline constexpr std::string_view kMenuBack = "戻る(0)";
inline constexpr std::string_view kOveruseMark = "やりすぎ禁止";
inline constexpr std::string_view kTodayCaption = "今日";
inline constexpr std::string_view kTotalCaption = "今まで";

// The drill.
inline constexpr std::string_view kRemainingCaption = "残り";
inline constexpr std::string_view kQuestionsCaption = "問";
inline constexpr std::string_view kTimeCaption = "タイム";
inline constexpr std::string_view kSinceLogInCaption = "起動後";
inline constexpr std::string_view kMinutesCaption = "分";
inline constexpr std::string_view kTodayRunCaption = "本日";
inline constexpr std::string_view kRunNumberCaption = "回目";
inline constexpr std::string_view kThisLevelCaption = "このレベル";
inline constexpr std::string_view kPlusSign = "＋";
inline constexpr std::string_view kEqualsSign = "＝";
inline constexpr std::string_view kAcknowledgePrompt = "＋を２回押しなさい";
inline constexpr std::string_view kAcknowledgeCaption = "確認";
inline constexpr std::string_view kDrillKeysHelp = "スペース=決定 　→次へ移動　↓消す　↑すべて消す";
inline constexpr std::string_view kRecordingRun = "成績記録中";
inline constexpr std::string_view kTimeUpBanner = "時間切れ";
/// The captions of the count-down boxes: the level's best time, the student's, the pass line.
inline constexpr std::string_view kBestCaption = "Best";
inline constexpr std::string_view kYourBestCaption = "YourBest";
inline constexpr std::string_view kPassCaption = "Pass";

// The finish screen.
inline constexpr std::string_view kLevelClearedText = "このレベルクリア";
inline constexpr std::string_view kGoalClearedText = "目標レベルクリア。おめでとう！";
inline constexpr std::string_view kToMenuCaption = "メニューへ";
inline constexpr std::string_view kAgainCaption = "もう一度";

/// "起動後5分", as the level menu shows the minutes since the log-in.
std::string minutesSinceLogInText(int minutes);
/// "本日総回数＝3回": the student's runs of today on every level.
std::string todayRunsText(int runs);
/// "12:" and the school's name: the student's number before the school, as the menu shows it.
std::string studentSchoolText(int student, std::string_view schoolName);

}  // namespace gaisan
