#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace gaisan {

/// What identifies a recorded run: its record's date, clock, student and level, the date and
/// clock compared bit for bit. Record numbers change when a teacher deletes a record, these do not.
struct RunIdentity {
    double date = 0;
    double clock = 0;
    std::int16_t student = 0;
    std::int16_t level = 0;

    bool operator==(const RunIdentity& other) const;
};

/// One judged answer of a run: the problem, what each answer box held when it was judged, which
/// boxes were wrong, and how long it took.
struct AnswerRecord {
    /// The most characters an answer box takes; a box holds digits and "*,-./".
    static constexpr std::size_t kBoxLength = 5;

    std::int32_t first = 0;       ///< the given numbers, 0 to 65535
    std::int32_t second = 0;      ///<
    std::int8_t place = 2;        ///< rounding to 10^place, 0 to 3
    std::int8_t problemType = 1;  ///< 0 to 3
    std::uint8_t wrongBoxes = 0;  ///< bit 0: first rounding, bit 1: second, bit 2: sum
    std::uint16_t tenths = 0;     ///< tenths of a second from the problem's showing to its judging
    std::array<std::string, 3> boxes;  ///< the two roundings, then the sum

    bool isRight() const { return wrongBoxes == 0; }
    bool operator==(const AnswerRecord&) const = default;
};

}  // namespace gaisan
