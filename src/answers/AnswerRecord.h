#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace gaisan {

/// One judged answer of a recorded run, as the answers file stores it: 72 bytes, little-endian.
///
///   0  "GAN1"            marks an entry and its layout
///   4  double            the run record's date, bit for bit
///  12  double            the run record's clock, bit for bit
///  20  int16 student, 22 int16 level   the rest of what identifies the run
///  24  int16             this answer's number in the run, from 1
///  26  int16             the number of answers the run has: its entries are written together
///  28  int32 first, 32 int32 second   the given numbers
///  36  int8 place (rounding to 10^place), 37 int8 problem type, 38 int8 wrong boxes (bit 0:
///      first rounding, bit 1: second, bit 2: sum), 39 zero
///  40  int32             milliseconds from the problem's showing to its judging
///  44  3 × 8 bytes       each answer box's text when judged, ASCII, padded with spaces
///  68  uint32            CRC-32 of bytes 0–67: a torn or foreign entry is never read as one
///
/// A run is linked to its answers by date, clock, student and level: record numbers change
/// when a teacher deletes a record, these do not.
struct AnswerRecord {
    static constexpr std::size_t kSize = 72;
    static constexpr std::size_t kBoxTextSize = 8;

    double runDate = 0;
    double runClock = 0;
    std::int16_t student = 0;
    std::int16_t level = 0;
    std::int16_t answerNumber = 1;
    std::int16_t answersInRun = 1;
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::int8_t place = 2;
    std::int8_t problemType = 1;
    std::uint8_t wrongBoxes = 0;
    std::int32_t milliseconds = 0;
    std::array<std::string, 3> boxes;  ///< the two roundings, then the sum

    bool operator==(const AnswerRecord&) const = default;
};

using AnswerBytes = std::array<std::byte, AnswerRecord::kSize>;

/// The entry's 72 bytes. A box text longer than 8 bytes, or with anything but ASCII digits and
/// spaces, is kept as far as it is digits: the boxes only ever take digits.
[[nodiscard]] AnswerBytes encodeAnswer(const AnswerRecord& answer);

/// The entry held by 72 bytes; nothing when they are not one (another layout, a torn write, a
/// damaged byte).
[[nodiscard]] std::optional<AnswerRecord> decodeAnswer(
    std::span<const std::byte, AnswerRecord::kSize> bytes);

}  // namespace gaisan
