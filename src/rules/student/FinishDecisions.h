#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace gaisan {

struct AppState;

/// The one message of the finish screen, with its sound.
enum class FinishMessage {
    None,          ///< no record; the fail cue plays when the time was within the minimum line
    TimeUp,        ///< "時間切れ", no sound
    PersonalBest,  ///< "新記録おめでとう" and the personal-best cue
    LevelBest,     ///< "！！！最高新記録！！！" and the level's best sound only
};

/// What the finish screen shows and plays for the run just recorded, decided from the tables
/// recounted after it.
struct FinishPlan {
    bool levelCleared = false;  ///< "このレベルクリア" is shown
    /// The goal banner: the final level cleared, unless some level's clear count is 9999 (a
    /// level whose count cannot be reached makes the goal meaningless).
    bool goalBanner = false;
    FinishMessage message = FinishMessage::None;
    bool failCue = false;
    /// The final level was cleared by this very run: the fanfare plays.
    bool passFanfare = false;
    /// Not the final level cleared: the banner is taken down again at the goal check.
    bool bannerHiddenAtGoalCheck = false;
};

FinishPlan planFinish(const AppState& state);

/// The message's text: "時間切れ", "新記録おめでとう" or "！！！最高新記録！！！"; empty for None.
std::string finishMessageText(FinishMessage message);

/// Whether to offer "もう一度", decided once the screen has settled. A student who has used a
/// level enough and cleared it is sent on to the next level, unless it is the final level or
/// the final level is already cleared, after which every level is free.
struct RetryChoice {
    bool offerRetry = true;
    bool moveOnMessage = false;     ///< the clear label says "次のレベルへ進みましょう"
    bool clearLabelHidden = false;  ///< the clear label is emptied and hidden
};

RetryChoice chooseRetry(const AppState& state);

/// The clear label's text when the student is sent on to the next level.
inline constexpr std::string_view kMoveOnText = "次のレベルへ進みましょう";

/// "獲得ポイント：" + base + "点×" + rate + "→" + total + "点" for the run's time on `level`.
std::string pointsLine(std::int32_t seconds, int level, const AppState& state);

/// "今の成績：" + seconds + "秒", or "記録なし" for the time-up and failure marks.
std::string resultLine(std::int32_t seconds);

}  // namespace gaisan
