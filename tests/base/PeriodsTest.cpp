#include "base/Periods.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

TEST(PeriodDays, WeeksBeginOnMondayOnEveryWeekday) {
    const CivilDate monday{2026, 12, 7};
    const struct {
        CivilDate today;
        int thisWeek;
        int sinceLastWeek;
    } cases[] = {
        {{2026, 12, 7}, 1, 8},  // Monday: this week is Monday alone
        {{2026, 12, 8}, 2, 9},   {{2026, 12, 9}, 3, 10},
        {{2026, 12, 10}, 4, 11}, {{2026, 12, 11}, 5, 12},
        {{2026, 12, 12}, 6, 13}, {{2026, 12, 13}, 7, 14},  // Sunday: Monday to Sunday
    };
    for (const auto& c : cases) {
        const int day = c.today.day;
        EXPECT_EQ(PeriodDays(Period::ThisWeek, c.today), c.thisWeek) << day;
        EXPECT_EQ(PeriodDays(Period::SinceLastWeek, c.today), c.sinceLastWeek) << day;
        // The period's first day is that week's Monday, or the Monday before.
        const int first = daySerial(monday);
        EXPECT_TRUE(inPeriod(first, c.today, c.thisWeek)) << day;
        EXPECT_FALSE(inPeriod(first - 1, c.today, c.thisWeek)) << day;
        EXPECT_TRUE(inPeriod(first - 7, c.today, c.sinceLastWeek)) << day;
        EXPECT_FALSE(inPeriod(first - 8, c.today, c.sinceLastWeek)) << day;
        EXPECT_EQ(PeriodDays(Period::Month, c.today), 30);
        EXPECT_EQ(PeriodDays(Period::Year, c.today), 365);
        EXPECT_EQ(PeriodDays(Period::All, c.today), 3650);
    }
}

TEST(PeriodDays, APeriodOfNDaysIsTodayAndTheDaysBefore) {
    const CivilDate today{2026, 12, 10};
    const int serial = daySerial(today);
    EXPECT_TRUE(inPeriod(serial, today, 30));
    EXPECT_TRUE(inPeriod(serial - 29, today, 30));
    EXPECT_FALSE(inPeriod(serial - 30, today, 30));
    EXPECT_TRUE(inPeriod(serial + 3, today, 30)) << "a record from a machine whose clock is ahead";
}

}  // namespace
}  // namespace gaisan
