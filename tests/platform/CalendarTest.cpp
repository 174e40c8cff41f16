#include "platform/Calendar.h"

#include <gtest/gtest.h>

#include "platform/EraDate.h"

namespace gaisan {
namespace {

TEST(Calendar, DaySerialsCountFrom1899December30) {
    const struct {
        CivilDate date;
        int serial;
    } cases[] = {
        {{1899, 12, 30}, 0},    {{1900, 1, 1}, 2},       {{2000, 1, 1}, 36526},
        {{2024, 2, 29}, 45351}, {{2026, 12, 10}, 46366},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(daySerial(c.date), c.serial) << c.date.year << '-' << c.date.month;
        EXPECT_EQ(dateOfSerial(c.serial), c.date) << c.serial;
    }
}

TEST(Calendar, WeekdaysStartOnSunday) {
    EXPECT_EQ(weekdayOf({2026, 12, 10}), 4);  // Thursday
    EXPECT_EQ(weekdayOf({2026, 12, 13}), 0);
}

TEST(Calendar, AWeeksMondayIsFoundFromAnyOfItsDays) {
    // Thursday 10 December 2026 and the days around a Monday, and a date before the serials' 2.
    EXPECT_EQ(mondayOf(daySerial({2026, 12, 10})), daySerial({2026, 12, 7}));
    EXPECT_EQ(mondayOf(daySerial({2026, 12, 7})), daySerial({2026, 12, 7}));
    EXPECT_EQ(mondayOf(daySerial({2026, 12, 13})), daySerial({2026, 12, 7}));
    EXPECT_EQ(mondayOf(daySerial({2026, 12, 14})), daySerial({2026, 12, 14}));
    EXPECT_EQ(mondayOf(daySerial({1899, 12, 30})), daySerial({1899, 12, 25}));
}

TEST(EraDate, WritesTheJapaneseEraAcrossItsChange) {
    const struct {
        CivilDate date;
        const char* text;
    } cases[] = {
        {{2019, 4, 30}, "平成31年 4月 30日（火）"},
        {{2019, 5, 1}, "令和元年 5月 01日（水）"},
        {{2026, 12, 10}, "令和8年 12月 10日（木）"},
        {{1989, 1, 7}, "昭和64年 1月 07日（土）"},
    };
    for (const auto& c : cases) EXPECT_EQ(japaneseEraDate(c.date), c.text);
}

}  // namespace
}  // namespace gaisan
