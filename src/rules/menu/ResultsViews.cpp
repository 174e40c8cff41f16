#include "rules/menu/ResultsViews.h"

#include <stdexcept>
#include <string>

#include "rules/menu/LevelAvailability.h"

namespace gaisan {

const std::array<std::string_view, 3>& listOptionCaptions(RankingView view) {
    static constexpr std::array<std::string_view, 3> time = {"BEST表示", "本日のみ", "オール表示"};
    static constexpr std::array<std::string_view, 3> points = {"合計累計", "合計本日", "すべて"};
    return view == RankingView::Time ? time : points;
}

ResultsList listOfOption(RankingView view, int option) {
    static constexpr std::array<ResultsList, 3> time = {
        ResultsList::BestTimes, ResultsList::TodayRuns, ResultsList::PeriodRuns};
    static constexpr std::array<ResultsList, 3> points = {
        ResultsList::TotalPoints, ResultsList::TodayPoints, ResultsList::PeriodRuns};
    if (option < 1 || option > 3) {
        throw std::out_of_range("no list option " + std::to_string(option));
    }
    return (view == RankingView::Time ? time : points)[option - 1];
}

std::string_view listTitle(ResultsList list) {
    switch (list) {
        case ResultsList::BestTimes:
            return "ベスト成績";
        case ResultsList::TodayRuns:
            return "本日の成績";
        case ResultsList::PeriodRuns:
            return "";
        case ResultsList::TotalPoints:
            return "獲得ポイント（今まで順位）";
        case ResultsList::TodayPoints:
            return "獲得ポイント（今日の順位）";
        case ResultsList::PersonalRuns:
            return "個人別ﾀｲﾑ";
    }
    return "";
}

bool fillsLevel(ResultsList list, const ProgramProfile& profile, int level) {
    return list != ResultsList::BestTimes || !isPracticeLevel(profile, level);
}

}  // namespace gaisan
