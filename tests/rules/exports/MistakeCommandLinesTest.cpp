#include "rules/exports/MistakeCommandLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Calendar.h"

namespace gaisan {
namespace {

AnswerRecord answer(std::array<std::string, 3> boxes, std::uint8_t wrongBoxes,
                    std::uint16_t tenths) {
    AnswerRecord a;
    a.first = 4500;
    a.second = 1200;
    a.place = 3;
    a.problemType = 1;
    a.boxes = std::move(boxes);
    a.wrongBoxes = wrongBoxes;
    a.tenths = tenths;
    return a;
}

TEST(MistakeCommandLines, EveryFactOfTheSummaryHasItsLine) {
    MistakeSummary summary;
    summary.add(
        {{static_cast<double>(daySerial({2026, 12, 10})), 0.5, 12, 3},
         {answer({"5000", "1000", "6000"}, 0, 30), answer({"4000", "1000", "6000"}, 1, 50)}});
    const std::string down = mistakeName({MistakeKind::RoundedDownNotUp});
    EXPECT_EQ(
        mistakeCommandLines(summary),
        (std::vector<std::string>{
            "runs\t1",
            "answers\t2\tright\t1\twrong\t1\t50.0%",
            "weakest\t" + down,
            "kind\t" + down + "\t1\t100.0%",
            "type\t1\t2\t4.0",
            "week\t2026-12-07\t2\t1\t50.0%",
            "example\t" + down + "\t2026-12-10\t12:00:00\t4500\t1200\t1000\t4000\t1000\t6000\t" +
                down + "\t\t",
        }));
}

TEST(MistakeCommandLines, KindsFoundEquallyOftenAreAllTheWeakest) {
    MistakeSummary summary;
    // 4500 rounded down to 4000 and 1200 up to 2000, the sum right for neither.
    summary.add({{static_cast<double>(daySerial({2026, 12, 10})), 0.5, 12, 3},
                 {answer({"4000", "2000", "6000"}, 0b011, 30)}});
    const std::vector<std::string> lines = mistakeCommandLines(summary);
    EXPECT_EQ(lines.at(2), "weakest\t" + mistakeName({MistakeKind::RoundedDownNotUp}) + '\t' +
                               mistakeName({MistakeKind::RoundedUpNotDown}));
}

TEST(MistakeCommandLines, NoAnswersGiveNoSharesAndNoKinds) {
    EXPECT_EQ(mistakeCommandLines(MistakeSummary{}),
              (std::vector<std::string>{"runs\t0", "answers\t0\tright\t0\twrong\t0\t-"}));
}

}  // namespace
}  // namespace gaisan
