#include "server/ScreenJson.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "platform/Utf8.h"
#include "rules/drill/AnswerEntry.h"
#include "rules/drill/RunControl.h"
#include "rules/menu/LevelColumnTexts.h"
#include "rules/menu/MenuKeys.h"
#include "rules/menu/Ranking.h"
#include "rules/student/StudentScreenTexts.h"
#include "server/ServerTexts.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

using nlohmann::json;

std::string text(std::string_view view) { return std::string(view); }

/// A suite colour (red in the lowest byte) as a page writes it, "#rrggbb".
std::string cssColour(Colour colour) {
    char css[8];
    std::snprintf(css, sizeof css, "#%02x%02x%02x", colour & 0xff, (colour >> 8) & 0xff,
                  (colour >> 16) & 0xff);
    return css;
}

std::string trimmed(std::string_view name) { return std::string(trimSpaces(name)); }

/// The captions of the count-down bands, with the first box of each.
struct CountdownBand {
    std::string_view caption;
    int firstBox;
};
constexpr CountdownBand kCountdownBands[] = {
    {kBestCaption, 10}, {kYourBestCaption, 20}, {kPassCaption, 30}};

/// A ranking's rows above the student's row, and all the rows a page sends of a ranking: a
/// list shows some fifteen, and a school of thousands would otherwise send every row of every
/// level at each visit to the menu.
constexpr int kRankingRowsAbove = 20;
constexpr int kRankingRowsSent = 100;

/// The rows of `ranking` around the student's, and the one of them to scroll to the top.
json rankingWindowJson(const LevelRanking& ranking) {
    const int count = static_cast<int>(ranking.rows.size());
    const int first = std::clamp(ranking.scrollRow.value_or(0) - kRankingRowsAbove, 0,
                                 std::max(count - kRankingRowsSent, 0));
    const int end = std::min(first + kRankingRowsSent, count);
    return {{"rows",
             std::vector<std::string>(ranking.rows.begin() + first, ranking.rows.begin() + end)},
            {"scrollRow", ranking.scrollRow ? json(*ranking.scrollRow - first) : json()}};
}

/// A screen's fixed texts by name, with the caption of the tap that lets a browser play
/// sounds, which every screen may need.
json screenTexts(std::initializer_list<std::pair<const char*, std::string_view>> texts) {
    json named = json::object();
    for (const auto& [name, value] : texts) named[name] = std::string(value);
    named["enableSound"] = std::string(kEnableSound);
    return named;
}

}  // namespace

json codeTexts(const ProgramProfile& profile) {
    return screenTexts({{"title", std::string_view(profile.SubjectTitle)},
                        {"prompt", kCodePrompt},
                        {"ok", kCodeOk}});
}

json namesTexts() { return screenTexts({{"prompt", kNamePrompt}, {"bandTip", kGradeBandTip}}); }

json menuTexts() {
    return screenTexts({{"back", kMenuBack},
                        {"overuse", kOveruseMark},
                        {"todayCaption", kTodayCaption},
                        {"totalCaption", kTotalCaption}});
}

json drillTexts() {
    return screenTexts({{"remaining", kRemainingCaption},
                        {"questions", kQuestionsCaption},
                        {"time", kTimeCaption},
                        {"sinceLogIn", kSinceLogInCaption},
                        {"minutes", kMinutesCaption},
                        {"today", kTodayRunCaption},
                        {"runNumber", kRunNumberCaption},
                        {"thisLevel", kThisLevelCaption},
                        {"plus", kPlusSign},
                        {"equals", kEqualsSign},
                        {"ackPrompt", kAcknowledgePrompt},
                        {"acknowledge", kAcknowledgeCaption},
                        {"keysHelp", kDrillKeysHelp},
                        {"recording", kRecordingRun},
                        {"timeUp", kTimeUpBanner},
                        {"next", kNextKey},
                        {"back", kBackKey}});
}

json finishTexts() {
    return screenTexts(
        {{"again", kAgainCaption}, {"toMenu", kToMenuCaption}, {"goal", kGoalClearedText}});
}

json namesScreenJson(const std::string& title, const std::string& band, FigureMode figures,
                     const NameList& list) {
    json rows = json::array();
    // Row 0 is the prompt row, which stands for no name.
    for (std::size_t i = 0; i < list.students.size() && i + 1 < list.rows.size(); ++i) {
        rows.push_back({{"student", list.students[i]}, {"text", list.rows[i + 1]}});
    }
    json modes = json::array();
    for (const std::string_view caption : kFigureModeCaptions) modes.push_back(text(caption));
    return {{"title", title},
            {"bands", gradeBands()},
            {"band", band},
            {"figureModes", std::move(modes)},
            {"figures", static_cast<int>(figures)},
            {"rows", std::move(rows)}};
}

json menuScreenJson(LevelMenu& menu, const LevelAvailability& availability) {
    const Login& login = menu.login();
    const ProgramProfile& profile = menu.profile();
    json levels = json::array();
    for (int level = 1; level <= profile.LevelCount; ++level) {
        const LevelRanking ranking =
            menu.rank(level, RankingView::Points, PointsBasis::Total, menu.gradeBand());
        std::string start = startCaption(level);
        // The desktop's "&" marks the key that starts the level; a page has no such mark.
        std::erase(start, '&');
        const auto flag = [&](const std::vector<bool>& flags) {
            return level < static_cast<int>(flags.size()) && flags[level];
        };
        levels.push_back({{"level", level},
                          {"key", menuKeyText(level)},
                          {"name", profile.LevelNames.at(level)},
                          {"start", start},
                          {"enabled", flag(availability.enabled)},
                          {"overuse", flag(availability.overuseMark)},
                          {"criteria", menu.criteriaLine(level)},
                          {"passWindow", menu.passWindowLine(level)},
                          {"today", menu.todayLine(level)},
                          {"totals", menu.totalsLine(level)},
                          {"ranking", rankingWindowJson(ranking)}});
    }
    return {{"title", profile.SubjectTitle},
            {"student", trimmed(login.StudentName) + " " + login.StudentGradeLabel},
            {"school", studentSchoolText(login.StudentIndex, menu.school().SchoolName)},
            {"minutes", minutesSinceLogInText(menu.minutesSinceLogIn())},
            {"todayRuns", todayRunsText(menu.countTodaysRuns())},
            {"levels", std::move(levels)}};
}

json drillScreenJson(StudentSession& session, const AppState& state, bool ended) {
    const Login& login = state.login;
    const RunState& run = session.run();
    const AnswerEntry& entry = session.entry();
    const int level = login.CurrentLevel;
    json boxes = json::array();
    for (int i = 1; i <= kBoxCount; ++i) {
        const ProblemBox& box = entry.box(i);
        boxes.push_back({{"text", box.text},
                         {"colour", cssColour(box.colour)},
                         // Told only once the box is judged wrong: the page never holds an
                         // answer before the child has given theirs.
                         {"correctValue", box.correctValueShown ? box.correctValue : ""},
                         {"correctShown", box.correctValueShown},
                         {"current", entry.currentBox() == i}});
    }
    // An ended run's clock stands where it stopped: its time is the one recorded.
    if (!ended) static_cast<void>(session.tick());
    const CountdownBoxes& hidden = session.countdownHidden();
    json countdown = json::array();
    for (const CountdownBand& band : kCountdownBands) {
        json bandHidden = json::array();
        for (int box = band.firstBox; box < band.firstBox + 10; ++box) {
            bandHidden.push_back(static_cast<bool>(hidden.at(box)));
        }
        countdown.push_back({{"caption", text(band.caption)}, {"hidden", std::move(bandHidden)}});
    }
    std::string ending;
    if (ended) ending = run.TimeUp == 1 ? "timeUp" : "recording";
    return {{"subjectTitle", state.profile.SubjectTitle},
            {"student", trimmed(login.StudentName)},
            {"level", state.profile.LevelNames.at(level)},
            {"school", state.common.SchoolName},
            {"minutes", session.minutesSinceLogIn()},
            {"todayRun", login.TodayRunTotal + 1},
            {"levelRun",
             static_cast<int>(state.counts.TodayRunCounts.at(level, login.StudentIndex)) + 1},
            {"instruction", entry.problem().instruction},
            {"boxes", std::move(boxes)},
            {"ackPrompt", entry.ackPromptShown()},
            {"remaining", session.problemsToGo()},
            {"elapsed", run.ElapsedSeconds},
            {"timeLimit", run.TimeLimit},
            {"targetTime", state.criteria.TargetTime.at(level)},
            {"minLineTime", state.criteria.MinLineTime.at(level)},
            {"countdown", std::move(countdown)},
            {"ending", ending}};
}

json finishScreenJson(const FinishScreen& screen, const RetryChoice& retry) {
    const FinishPlan& plan = screen.plan;
    const std::string clearText = plan.levelCleared ? text(kLevelClearedText) : std::string();
    // Once the buttons show, the clear label may send the student on, or go.
    std::string clearTextAtButtons = clearText;
    if (retry.clearLabelHidden) clearTextAtButtons.clear();
    if (retry.moveOnMessage) clearTextAtButtons = text(kMoveOnText);
    return {{"subjectTitle", screen.subjectTitle},
            {"student", trimmed(screen.studentName)},
            {"level", screen.levelName},
            {"result", screen.resultLine},
            {"points", screen.pointsLine},
            {"levelRun", screen.levelRunText},
            {"todayRun", screen.todayRunText},
            {"message", screen.messageText},
            {"cleared", plan.levelCleared},
            {"clearText", clearText},
            {"clearTextAtButtons", clearTextAtButtons},
            {"goalBanner", plan.goalBanner},
            {"bannerHidden", plan.bannerHiddenAtGoalCheck},
            {"offerRetry", retry.offerRetry}};
}

json soundAddresses(const std::vector<int>& sounds) {
    json addresses = json::array();
    for (const int sound : sounds) addresses.push_back("/sound/" + std::to_string(sound));
    return addresses;
}

}  // namespace gaisan
