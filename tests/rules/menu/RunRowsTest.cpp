#include "rules/menu/RunRows.h"

#include <gtest/gtest.h>

#include "platform/Calendar.h"

namespace gaisan {
namespace {

double clockOf(int hours, int minutes, int seconds) {
    return (hours * 3600 + minutes * 60 + seconds) / 86400.0;
}

TEST(RunRows, ClockAndDateTexts) {
    const struct {
        double clock;
        const char* full;
        const char* hourMinute;
    } clocks[] = {
        {0, "0:00:00", "00:00"},
        {clockOf(9, 5, 3), "9:05:03", "09:05"},
        {clockOf(13, 5, 3), "13:05:03", "13:05"},
        {clockOf(23, 59, 59), "23:59:59", "23:59"},
        {0.99999999, "23:59:59", "23:59"},  // rounds up to midnight, which is no clock of the day
        {1.5, "12:00:00", "12:00"},         // only the fraction is the time of day
    };
    for (const auto& c : clocks) {
        EXPECT_EQ(runClockText(c.clock), c.full) << c.clock;
        EXPECT_EQ(hourMinute(c.clock), c.hourMinute) << c.clock;
    }
    EXPECT_EQ(fullDate(daySerial({2026, 12, 10})), "2026/12/10");
    EXPECT_EQ(monthDay(daySerial({2026, 12, 10})), "12/10");
    EXPECT_EQ(fullDate(daySerial({2027, 1, 5})), "2027/01/05");
    EXPECT_EQ(monthDay(daySerial({2027, 1, 5})), "01/05");
}

TEST(RunRows, TimesAreRightAlignedInFiveCharactersAndNeverCut) {
    EXPECT_EQ(time5(5), "   5秒");
    EXPECT_EQ(time5(55), "  55秒");
    EXPECT_EQ(time5(1234), "1234秒");
    EXPECT_EQ(time5(12345), "12345秒");
}

/// Every row layout, with the base points against a target of 60 s: 5 at exactly 60, 1 at 120.
TEST(RunRows, RowsOfEveryList) {
    constexpr std::int32_t kTarget = 60;
    const std::string who = "●佐藤　陽菜●";
    const auto run = [](std::int32_t seconds, double clock = clockOf(9, 5, 3)) {
        return LoadedRecord{static_cast<double>(daySerial({2026, 12, 10})), clock, 1, 1, seconds};
    };
    const struct {
        const char* name;
        std::string row;
        const char* expected;
    } cases[] = {
        {"today", todayRunRow(run(60), who, kTarget), "  60秒 09:05●佐藤　陽菜●5"},
        {"today, 2T", todayRunRow(run(120, clockOf(13, 40, 0)), who, kTarget),
         " 120秒 13:40●佐藤　陽菜●1"},
        {"today, fastest", todayRunRow(run(0), who, kTarget), "   0秒 09:05●佐藤　陽菜●55"},
        {"today, time-up", todayRunRow(run(99999), who, kTarget), "　　× 09:05●佐藤　陽菜●"},
        {"today, failed", todayRunRow(run(90000), who, kTarget), "　　× 09:05●佐藤　陽菜●"},
        {"today, slowest counted", todayRunRow(run(89999), who, kTarget),
         "89999秒 09:05●佐藤　陽菜●0"},
        {"period, time view", periodRunRow(RankingView::Time, run(60), who, kTarget),
         "  60秒 12/10●佐藤　陽菜●5"},
        {"period, time view, 4 points", periodRunRow(RankingView::Time, run(90), who, kTarget),
         "  90秒 12/10●佐藤　陽菜●4"},
        {"period, points view", periodRunRow(RankingView::Points, run(60), who, kTarget),
         "  5 12/10●佐藤　陽菜●60秒"},
        {"period, points view, 55", periodRunRow(RankingView::Points, run(0), who, kTarget),
         " 55 12/10●佐藤　陽菜●0秒"},
        {"period, points view, five-digit time",
         periodRunRow(RankingView::Points, run(12345), who, kTarget),
         "  0 12/10●佐藤　陽菜●12345秒"},
        {"period, time-up, time view", periodRunRow(RankingView::Time, run(99999), who, kTarget),
         "　　× 12/10●佐藤　陽菜●"},
        {"period, time-up, points view",
         periodRunRow(RankingView::Points, run(99998), who, kTarget), " × 12/10●佐藤　陽菜●"},
        {"personal", personalRunRow(run(60)), "2026/12/10 9:05:03  60秒"},
        {"personal, afternoon", personalRunRow(run(234, clockOf(13, 5, 3))),
         "2026/12/10 13:05:03 234秒"},
        {"personal, failed", personalRunRow(run(99999)), "2026/12/10 9:05:03　　×"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.row, c.expected) << c.name;
}

}  // namespace
}  // namespace gaisan
