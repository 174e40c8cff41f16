#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaisan {

/// What kind of answer a child gave in one answer box. The kinds are the mistakes a teacher can
/// act on in estimation: a rounding done the wrong way or to the wrong place, the exact numbers
/// used where the rounded ones belong, an addition that is right for the child's own roundings.
enum class MistakeKind {
    Correct,
    Empty,                ///< nothing typed
    RoundedDownNotUp,     ///< 450 → 400 at the hundreds: should have rounded up
    RoundedUpNotDown,     ///< 449 → 500 at the hundreds: should have rounded down
    WrongPlace,           ///< rounded right, but to another place (which one: `place`)
    NotRounded,           ///< the given number copied
    ExactSum,             ///< the sum of the exact numbers, rounded or not
    RightForOwnRounding,  ///< the sum of the child's own (wrong) roundings: the addition is right
    OtherBoxAnswer,       ///< the right answer of another box, typed in this one
    TooFewDigits,         ///< the right digits with zeros missing: typing stopped part way
    WrongMagnitude,       ///< the right digits with zeros too many
    AdditionSlip,         ///< a sum that none of the above explains
    Slip,                 ///< a rounding that none of the above explains, or not a number
};
inline constexpr std::size_t kMistakeKindCount = 13;

/// One judged box: its kind and, for a rounding to the wrong place, the place exponent used.
struct BoxMistake {
    MistakeKind kind = MistakeKind::Correct;
    std::optional<int> place = std::nullopt;  ///< for WrongPlace: rounded to 10^place

    bool operator==(const BoxMistake&) const = default;
};

/// One problem as shown and as answered: the two given numbers, the place rounded to (10^place)
/// and the text of the three answer boxes (the two roundings, then the sum) when it was judged.
struct JudgedAnswer {
    long long first = 0;
    long long second = 0;
    int place = 2;
    std::string roundedFirst;
    std::string roundedSecond;
    std::string sum;
};

/// The kinds of mistake of the three answer boxes.
struct AnswerMistakes {
    BoxMistake roundedFirst;
    BoxMistake roundedSecond;
    BoxMistake sum;

    /// The three in the order of the boxes on the screen.
    std::array<BoxMistake, 3> boxes() const { return {roundedFirst, roundedSecond, sum}; }
};

/// The kinds of the three boxes of `answer`.
[[nodiscard]] AnswerMistakes mistakesOf(const JudgedAnswer& answer);

/// A kind and its Japanese name, as the teacher reads it at a glance.
struct MistakeKindName {
    MistakeKind kind;
    std::string name;  ///< empty for Correct
};

/// Every kind with its name, in the order the teacher's summaries list them.
[[nodiscard]] const std::vector<MistakeKindName>& mistakeKindNames();

/// 10^place: 100 for the hundreds, as the spreadsheets write the place rounded to.
[[nodiscard]] long long placeValue(int place);

/// The Japanese name of a kind, as the teacher's screen and the spreadsheet show it; a wrong
/// place names the place ("位の取り違え（十の位まで）"). Empty for Correct.
[[nodiscard]] std::string mistakeName(const BoxMistake& mistake);

/// The number typed in a box: half- or full-width digits, surrounding spaces ignored; nothing for
/// an empty box or a text that is not a whole number.
[[nodiscard]] std::optional<long long> typedNumber(std::string_view text);

}  // namespace gaisan
