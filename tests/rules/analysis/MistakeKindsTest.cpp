#include "rules/analysis/MistakeKinds.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

using Kind = MistakeKind;

struct Case {
    const char* what;
    JudgedAnswer answer;
    BoxMistake first;
    BoxMistake second;
    BoxMistake sum;
};

// Real answers of children, one row per kind and the tricky ones. Hundreds are place 2,
// thousands place 3.
const Case kCases[] = {
    {"all right",
     {450, 1234, 2, "500", "1200", "1700"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::Correct}},
    {"450 rounded down, the sum right for it",
     {450, 1234, 2, "400", "1200", "1600"},
     {Kind::RoundedDownNotUp},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    {"449 rounded up",
     {449, 360, 2, "500", "400", "900"},
     {Kind::RoundedUpNotDown},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    {"rounded to the tens, and to the thousands",
     {456, 3456, 2, "460", "3000", "3460"},
     {Kind::WrongPlace, 1},
     {Kind::WrongPlace, 3},
     {Kind::RightForOwnRounding}},
    // A sum that is the child's own roundings added is a right addition, even where the exact
    // sum happens to round to the same value.
    {"684 rounded down, the sum the child's own and the exact one rounded",
     {684, 659, 2, "600", "700", "1300"},
     {Kind::RoundedDownNotUp},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    {"449 rounded up, the sum the child's own and the exact one rounded",
     {449, 120, 2, "500", "100", "600"},
     {Kind::RoundedUpNotDown},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    {"both rounded to the hundreds at the thousands, the sum their own",
     {1450, 2450, 3, "1500", "2500", "4000"},
     {Kind::WrongPlace, 2},
     {Kind::WrongPlace, 2},
     {Kind::RightForOwnRounding}},
    {"one number copied, the other rounded, the sum their own",
     {684, 659, 2, "684", "700", "1384"},
     {Kind::NotRounded},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    // Added unrounded numbers are the exact sum, even though they are the child's own boxes too.
    {"numbers copied and added",
     {456, 789, 2, "456", "789", "1245"},
     {Kind::NotRounded},
     {Kind::NotRounded},
     {Kind::ExactSum}},
    {"684 and 659 copied and added",
     {684, 659, 2, "684", "659", "1343"},
     {Kind::NotRounded},
     {Kind::NotRounded},
     {Kind::ExactSum}},
    {"both rounded right, the exact numbers added",
     {357, 146, 2, "400", "100", "503"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::ExactSum}},
    {"the exact sum rounded",
     {456, 789, 2, "500", "800", "1200"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::ExactSum}},
    {"an addition slip",
     {456, 789, 2, "500", "800", "1400"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::AdditionSlip}},
    {"empty boxes, and spaces only",
     {456, 789, 2, "", " 　", ""},
     {Kind::Empty},
     {Kind::Empty},
     {Kind::Empty}},
    {"typing stopped part way, and a zero too many",
     {456, 789, 2, "50", "8000", "13"},
     {Kind::TooFewDigits},
     {Kind::WrongMagnitude},
     {Kind::TooFewDigits}},
    {"a number that rounds to 0",
     {30, 460, 2, "0", "500", "500"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::Correct}},
    // The judging reads an empty box as 0: right for 49 at the hundreds, and 0 + 300 is the
    // child's own sum.
    {"a number that rounds to 0 left empty, the other rounded down",
     {49, 350, 2, "", "300", "300"},
     {Kind::Correct},
     {Kind::RoundedDownNotUp},
     {Kind::RightForOwnRounding}},
    {"a number that rounds to 0 typed as 0, the other rounded down",
     {49, 350, 2, "0", "300", "300"},
     {Kind::Correct},
     {Kind::RoundedDownNotUp},
     {Kind::RightForOwnRounding}},
    {"an empty box beside a number that does not round to 0 is added as 0",
     {449, 350, 2, "", "400", "400"},
     {Kind::Empty},
     {Kind::Correct},
     {Kind::RightForOwnRounding}},
    {"a number that rounds to 0, rounded up and copied",
     {30, 460, 2, "100", "460", "560"},
     {Kind::RoundedUpNotDown},
     {Kind::NotRounded},
     {Kind::RightForOwnRounding}},
    {"a five-digit sum at the thousands",
     {8600, 9099, 3, "9000", "9000", "18000"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::Correct}},
    {"a five-digit sum with a slip",
     {8600, 9099, 3, "9000", "9000", "17000"},
     {Kind::Correct},
     {Kind::Correct},
     {Kind::AdditionSlip}},
    {"the answers typed in each other's boxes",
     {450, 1234, 2, "1200", "500", "1700"},
     {Kind::OtherBoxAnswer},
     {Kind::OtherBoxAnswer},
     {Kind::Correct}},
    {"the sum typed in a rounding box, a rounding in the sum box",
     {450, 1234, 2, "1700", "1200", "500"},
     {Kind::OtherBoxAnswer},
     {Kind::Correct},
     {Kind::OtherBoxAnswer}},
    {"full-width digits are numbers; letters are not",
     {450, 1234, 2, "５００", "12o0", "x"},
     {Kind::Correct},
     {Kind::Slip},
     {Kind::AdditionSlip}},
    {"a number far too long",
     {450, 1234, 2, "5000000000000000000000", "1200", "1700"},
     {Kind::Slip},
     {Kind::Correct},
     {Kind::Correct}},
};

TEST(MistakeKinds, EachBoxIsNamedByTheKindOfMistakeAChildMakes) {
    for (const Case& c : kCases) {
        const AnswerMistakes mistakes = mistakesOf(c.answer);
        EXPECT_EQ(mistakes.roundedFirst, c.first) << c.what << ": first box";
        EXPECT_EQ(mistakes.roundedSecond, c.second) << c.what << ": second box";
        EXPECT_EQ(mistakes.sum, c.sum) << c.what << ": sum box";
    }
}

TEST(MistakeKinds, EveryKindHasOneJapaneseNameAndAWrongPlaceSaysWhichPlace) {
    for (const MistakeKindName& entry : mistakeKindNames()) {
        EXPECT_EQ(entry.name.empty(), entry.kind == Kind::Correct) << entry.name;
        EXPECT_EQ(mistakeName({entry.kind}), entry.name);
    }
    EXPECT_EQ(mistakeName({Kind::WrongPlace, 1}), "位の取り違え（十の位まで）");
    EXPECT_EQ(mistakeName({Kind::WrongPlace, 3}), "位の取り違え（千の位まで）");
    EXPECT_EQ(mistakeName({Kind::RoundedDownNotUp}), "切り上げ忘れ");
}

}  // namespace
}  // namespace gaisan
