#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/AnswerRecord.h"

namespace gaisan {

/// The answers of one recorded run, in the order they were judged.
struct RunAnswers {
    RunIdentity run;
    std::vector<AnswerRecord> answers;

    bool operator==(const RunAnswers&) const = default;
};

/// How an answers file stores a run: one block, written in one piece, made of 16-byte slots.
/// Every number is little-endian.
///
/// The head, two slots:
///    0  "GAR1"
///    4  double  the run record's date, bit for bit
///   12  double  the run record's clock, bit for bit
///   20  int16   student, 22 int16 level
///   24  uint16  N, the number of answers (1 to kMostAnswersInRun)
///   26  uint16  zero
///   28  uint32  the block's checksum (blockChecksum)
/// then N answer slots, in the order the answers were judged:
///    0  "a"
///    1  uint8   bits 0–1 the place rounded to (10^place), bits 2–3 the problem type,
///               bits 4–6 the wrong boxes (first rounding, second, sum), bit 7 zero
///    2  uint16  the first number, 4 uint16 the second
///    6  uint16  tenths of a second from the problem's showing to its judging (65535 at most)
///    8  uint64  the three boxes' texts, 20 bits each from bit 0: five characters of 4 bits, the
///               first in the lowest; 0 ends the text, 1 to 15 are "*,-./0123456789"; bits 60–63
///               zero
/// A block whose checksum does not match (a write a crash cut short, damage, bytes of another file)
/// is never read as a run; its slots are passed over one by one until the next whole block.
inline constexpr std::size_t kAnswerSlotSize = 16;
inline constexpr std::size_t kRunHeadSize = 2 * kAnswerSlotSize;
inline constexpr std::size_t kMostAnswersInRun = 1000;

/// The block's checksum: over its 8-byte little-endian words w, the head's checksum field read as
/// zero, h starts as 0x9E3779B97F4A7C15 xor the block's length in bytes, and for each word
/// h = h xor w, h = h × 0xBF58476D1CE4E5B9 (mod 2^64), h = h xor (h >> 31); the checksum is the
/// low 32 bits of h xor (h >> 32). Cheap enough to check a school year of answers in a blink.
[[nodiscard]] std::uint32_t blockChecksum(std::span<const std::byte> block);

/// The block of `run`. A run of more than kMostAnswersInRun answers keeps the first of them; box
/// texts keep the first five characters a box can hold.
[[nodiscard]] std::vector<std::byte> encodeRunAnswers(const RunAnswers& run);

/// What every pass over the answers counts of an answer, read without decoding its box texts.
struct AnswerTally {
    std::int8_t problemType = 0;
    std::uint8_t wrongBoxes = 0;
    std::uint16_t tenths = 0;

    bool isRight() const { return wrongBoxes == 0; }
};

/// A whole block as read: its run, and its answers still as stored, so that a pass over a
/// school year decodes only the answers it shows. Valid while the bytes it was read from are.
class RunBlock {
public:
    /// `block` must be a whole block the scanner has checked.
    RunBlock(const RunIdentity& run, std::span<const std::byte> block);

    const RunIdentity& run() const { return m_run; }
    std::size_t size() const { return m_count; }
    AnswerTally tally(std::size_t i) const;
    AnswerRecord answer(std::size_t i) const;
    RunAnswers decoded() const;
    /// The block's bytes as stored.
    std::span<const std::byte> bytes() const { return m_block; }

private:
    RunIdentity m_run;
    std::span<const std::byte> m_block;
    std::size_t m_count;
};

/// Reads the whole blocks out of an answers file's bytes, given in order and in pieces of any
/// size, calling `onRun` for each. What is not part of a whole block is passed over and counted.
class RunAnswersScanner {
public:
    explicit RunAnswersScanner(std::function<void(const RunBlock&)> onRun);

    /// Reads the blocks in `bytes`, which follow the bytes given before: returns how many bytes
    /// it has used. The rest, a block not yet whole, is to be given again at the start of the next
    /// piece, unless `fileEnds`.
    std::size_t scan(std::span<const std::byte> bytes, bool fileEnds);

    /// Bytes passed over so far as not part of a whole block.
    std::uint64_t bytesLeftOut() const { return m_leftOut; }

private:
    std::function<void(const RunBlock&)> m_onRun;
    std::uint64_t m_leftOut = 0;
};

/// Every run in `bytes`, a whole answers file; for tests and tools.
[[nodiscard]] std::vector<RunAnswers> runAnswersIn(std::span<const std::byte> bytes);

}  // namespace gaisan
