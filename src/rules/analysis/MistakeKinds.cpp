#include "rules/analysis/MistakeKinds.h"

#include <array>
#include <cmath>

#include "rules/drill/ProblemGenerator.h"

namespace gaisan {
namespace {

/// More digits than any box can hold: a longer text is not read as a number.
constexpr std::size_t kMostDigits = 15;
/// The places a wrong rounding is looked for at: the ones to the hundred thousands.
constexpr int kLowestPlace = 1;
constexpr int kHighestPlace = 5;

std::string_view withoutSpaces(std::string_view text);

bool isBlank(std::string_view text) { return withoutSpaces(text).empty(); }

/// The number a box held as the judging read it: an empty box is 0, which is right for a number
/// that rounds to 0. Nothing for a text that is not a whole number.
std::optional<long long> judgedNumber(std::string_view text) {
    if (isBlank(text)) return 0;
    return typedNumber(text);
}

/// RoundToPlace in whole numbers: a school year's wrong answers are judged by the million.
long long roundedTo(long long number, int place) {
    if (number < 0 || place < 1) {
        return static_cast<long long>(RoundToPlace(static_cast<double>(number), place));
    }
    const long long unit = placeValue(place);
    return (number + unit / 2) / unit * unit;
}

/// Whether `typed` is `right` with trailing zeros missing (40 for 400) or too many (4000).
std::optional<MistakeKind> zerosWrong(long long typed, long long right) {
    if (typed <= 0 || right <= 0) return std::nullopt;
    for (long long factor = 10; factor <= placeValue(kMostDigits); factor *= 10) {
        if (typed * factor == right) return MistakeKind::TooFewDigits;
        if (right * factor == typed) return MistakeKind::WrongMagnitude;
        if (typed * factor > right && right * factor > typed) break;
    }
    return std::nullopt;
}

BoxMistake roundingMistake(const std::string& text, long long given, int place,
                           const std::array<long long, 2>& otherBoxesRight) {
    const std::optional<long long> typed = judgedNumber(text);
    const long long right = roundedTo(given, place);
    if (!typed) return {MistakeKind::Slip};
    if (*typed == right) return {MistakeKind::Correct};
    if (isBlank(text)) return {MistakeKind::Empty};
    if (*typed == given) return {MistakeKind::NotRounded};
    const long long unit = placeValue(place);
    const long long down = given / unit * unit;
    if (*typed == down) return {MistakeKind::RoundedDownNotUp};
    if (*typed == down + unit) return {MistakeKind::RoundedUpNotDown};
    for (int other = kLowestPlace; other <= kHighestPlace; ++other) {
        if (other != place && *typed == roundedTo(given, other)) {
            return {MistakeKind::WrongPlace, other};
        }
    }
    for (long long otherRight : otherBoxesRight) {
        if (*typed == otherRight) return {MistakeKind::OtherBoxAnswer};
    }
    if (auto zeros = zerosWrong(*typed, right)) return {*zeros};
    return {MistakeKind::Slip};
}

/// Whether the sum box holds the sum of the child's own rounding boxes, read as the judging read
/// them. Such an addition is right, whatever the roundings: the child needs the rounding taught,
/// not the addition. The one exception is a child who copied both numbers unrounded and added
/// them: that is the exact sum, a habit of its own.
bool addedOwnRoundings(const JudgedAnswer& answer, long long typedSum) {
    const std::optional<long long> ownFirst = judgedNumber(answer.roundedFirst);
    const std::optional<long long> ownSecond = judgedNumber(answer.roundedSecond);
    if (!ownFirst || !ownSecond || typedSum != *ownFirst + *ownSecond) return false;
    return *ownFirst != answer.first || *ownSecond != answer.second;
}

BoxMistake sumMistake(const JudgedAnswer& answer, long long roundedFirst, long long roundedSecond) {
    const std::optional<long long> typed = judgedNumber(answer.sum);
    if (!typed) return {MistakeKind::AdditionSlip};
    const long long right = roundedFirst + roundedSecond;
    if (*typed == right) return {MistakeKind::Correct};
    if (isBlank(answer.sum)) return {MistakeKind::Empty};
    // Checked before the exact sum: when a wrong rounding happens to give the rounded exact sum
    // (684 + 659 typed 600, 700, 1300), the child still added their own numbers right.
    if (addedOwnRoundings(answer, *typed)) return {MistakeKind::RightForOwnRounding};
    const long long exact = answer.first + answer.second;
    if (*typed == exact || *typed == roundedTo(exact, answer.place)) {
        return {MistakeKind::ExactSum};
    }
    if (*typed == roundedFirst || *typed == roundedSecond) return {MistakeKind::OtherBoxAnswer};
    if (auto zeros = zerosWrong(*typed, right)) return {*zeros};
    return {MistakeKind::AdditionSlip};
}

/// The next character of `text` from `at` as a digit 0–9, half- or full-width, moving `at` on.
std::optional<int> nextDigit(std::string_view text, std::size_t& at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= '0' && byte <= '9') {
        ++at;
        return byte - '0';
    }
    // Full-width "０" to "９" are U+FF10 to U+FF19: EF BC 90 to EF BC 99 in UTF-8.
    if (byte == 0xEF && at + 2 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xBC) {
        const auto last = static_cast<unsigned char>(text[at + 2]);
        if (last >= 0x90 && last <= 0x99) {
            at += 3;
            return last - 0x90;
        }
    }
    return std::nullopt;
}

std::string_view withoutSpaces(std::string_view text) {
    static constexpr std::string_view kFullWidthSpace = "\u3000";
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        if (text.front() == ' ') text.remove_prefix(1), trimmed = true;
        if (!text.empty() && text.back() == ' ') text.remove_suffix(1), trimmed = true;
        if (text.starts_with(kFullWidthSpace)) {
            text.remove_prefix(kFullWidthSpace.size()), trimmed = true;
        }
        if (text.ends_with(kFullWidthSpace)) {
            text.remove_suffix(kFullWidthSpace.size()), trimmed = true;
        }
    }
    return text;
}

}  // namespace

std::optional<long long> typedNumber(std::string_view text) {
    text = withoutSpaces(text);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    std::size_t digits = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<int> digit = nextDigit(text, at);
        if (!digit || ++digits > kMostDigits) return std::nullopt;
        value = value * 10 + *digit;
    }
    return value;
}

AnswerMistakes mistakesOf(const JudgedAnswer& answer) {
    const long long roundedFirst = roundedTo(answer.first, answer.place);
    const long long roundedSecond = roundedTo(answer.second, answer.place);
    const long long sum = roundedFirst + roundedSecond;
    return {roundingMistake(answer.roundedFirst, answer.first, answer.place, {roundedSecond, sum}),
            roundingMistake(answer.roundedSecond, answer.second, answer.place, {roundedFirst, sum}),
            sumMistake(answer, roundedFirst, roundedSecond)};
}

const std::vector<MistakeKindName>& mistakeKindNames() {
    static const std::vector<MistakeKindName> names = {
        {MistakeKind::Correct, ""},
        {MistakeKind::Empty, "未記入"},
        {MistakeKind::RoundedDownNotUp, "切り上げ忘れ"},
        {MistakeKind::RoundedUpNotDown, "切り上げすぎ"},
        {MistakeKind::WrongPlace, "位の取り違え"},
        {MistakeKind::NotRounded, "概数にしていない"},
        {MistakeKind::ExactSum, "元の数で合計"},
        {MistakeKind::RightForOwnRounding, "たし算は正しい（概数の誤り）"},
        {MistakeKind::OtherBoxAnswer, "欄の取り違え"},
        {MistakeKind::TooFewDigits, "0が足りない"},
        {MistakeKind::WrongMagnitude, "0が多い"},
        {MistakeKind::AdditionSlip, "たし算の誤り"},
        {MistakeKind::Slip, "その他の誤り"},
    };
    return names;
}

long long placeValue(int place) {
    long long value = 1;
    for (int i = 0; i < place; ++i) value *= 10;
    return value;
}

std::string mistakeName(const BoxMistake& mistake) {
    std::string name;
    for (const MistakeKindName& entry : mistakeKindNames()) {
        if (entry.kind == mistake.kind) name = entry.name;
    }
    if (mistake.kind == MistakeKind::WrongPlace && mistake.place) {
        name += "（" + placeName(*mistake.place + 1) + "の位まで）";
    }
    return name;
}

}  // namespace gaisan
