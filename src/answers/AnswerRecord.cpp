#include "answers/AnswerRecord.h"

#include <cstring>
#include <string_view>

#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::string_view kMagic = "GAN1";
constexpr std::size_t kDateOffset = 4;
constexpr std::size_t kClockOffset = 12;
constexpr std::size_t kStudentOffset = 20;
constexpr std::size_t kLevelOffset = 22;
constexpr std::size_t kAnswerNumberOffset = 24;
constexpr std::size_t kAnswersInRunOffset = 26;
constexpr std::size_t kFirstOffset = 28;
constexpr std::size_t kSecondOffset = 32;
constexpr std::size_t kPlaceOffset = 36;
constexpr std::size_t kProblemTypeOffset = 37;
constexpr std::size_t kWrongBoxesOffset = 38;
constexpr std::size_t kMillisecondsOffset = 40;
constexpr std::size_t kBoxesOffset = 44;
constexpr std::size_t kChecksumOffset = 68;

static_assert(kBoxesOffset + 3 * AnswerRecord::kBoxTextSize == kChecksumOffset);
static_assert(kChecksumOffset + sizeof(std::uint32_t) == AnswerRecord::kSize);

/// CRC-32 (the polynomial of zip files), bit by bit: 68 bytes an answer need no table.
std::uint32_t crc32(std::span<const std::byte> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::byte byte : bytes) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

/// The leading digits of a box's text, at most a field's width.
std::string digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c < '0' || c > '9' || digits.size() == AnswerRecord::kBoxTextSize) break;
        digits += c;
    }
    return digits;
}

}  // namespace

AnswerBytes encodeAnswer(const AnswerRecord& answer) {
    AnswerBytes bytes{};
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    putStored(bytes, kDateOffset, answer.runDate);
    putStored(bytes, kClockOffset, answer.runClock);
    putStored(bytes, kStudentOffset, answer.student);
    putStored(bytes, kLevelOffset, answer.level);
    putStored(bytes, kAnswerNumberOffset, answer.answerNumber);
    putStored(bytes, kAnswersInRunOffset, answer.answersInRun);
    putStored(bytes, kFirstOffset, answer.first);
    putStored(bytes, kSecondOffset, answer.second);
    putStored(bytes, kPlaceOffset, answer.place);
    putStored(bytes, kProblemTypeOffset, answer.problemType);
    putStored(bytes, kWrongBoxesOffset, answer.wrongBoxes);
    putStored(bytes, kMillisecondsOffset, answer.milliseconds);
    for (std::size_t box = 0; box < answer.boxes.size(); ++box) {
        const std::size_t offset = kBoxesOffset + box * AnswerRecord::kBoxTextSize;
        const std::string digits = digitsOf(answer.boxes[box]);
        std::memset(bytes.data() + offset, ' ', AnswerRecord::kBoxTextSize);
        std::memcpy(bytes.data() + offset, digits.data(), digits.size());
    }
    putStored(bytes, kChecksumOffset, crc32(std::span(bytes).first(kChecksumOffset)));
    return bytes;
}

std::optional<AnswerRecord> decodeAnswer(std::span<const std::byte, AnswerRecord::kSize> bytes) {
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) return std::nullopt;
    if (storedAt<std::uint32_t>(bytes, kChecksumOffset) != crc32(bytes.first(kChecksumOffset))) {
        return std::nullopt;
    }
    AnswerRecord answer;
    answer.runDate = storedAt<double>(bytes, kDateOffset);
    answer.runClock = storedAt<double>(bytes, kClockOffset);
    answer.student = storedAt<std::int16_t>(bytes, kStudentOffset);
    answer.level = storedAt<std::int16_t>(bytes, kLevelOffset);
    answer.answerNumber = storedAt<std::int16_t>(bytes, kAnswerNumberOffset);
    answer.answersInRun = storedAt<std::int16_t>(bytes, kAnswersInRunOffset);
    answer.first = storedAt<std::int32_t>(bytes, kFirstOffset);
    answer.second = storedAt<std::int32_t>(bytes, kSecondOffset);
    answer.place = storedAt<std::int8_t>(bytes, kPlaceOffset);
    answer.problemType = storedAt<std::int8_t>(bytes, kProblemTypeOffset);
    answer.wrongBoxes = storedAt<std::uint8_t>(bytes, kWrongBoxesOffset);
    answer.milliseconds = storedAt<std::int32_t>(bytes, kMillisecondsOffset);
    for (std::size_t box = 0; box < answer.boxes.size(); ++box) {
        const std::size_t offset = kBoxesOffset + box * AnswerRecord::kBoxTextSize;
        answer.boxes[box] = digitsOf(std::string(
            reinterpret_cast<const char*>(bytes.data() + offset), AnswerRecord::kBoxTextSize));
    }
    return answer;
}

}  // namespace gaisan
