#include "answers/AnswerRecord.h"

#include <bit>
#include <cstring>
#include <string_view>

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

static_assert(std::endian::native == std::endian::little,
              "the answers file is little-endian and is copied to and from memory as it is");
static_assert(kBoxesOffset + 3 * AnswerRecord::kBoxTextSize == kChecksumOffset);
static_assert(kChecksumOffset + sizeof(std::uint32_t) == AnswerRecord::kSize);

template <typename T>
void put(AnswerBytes& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template <typename T>
T get(std::span<const std::byte, AnswerRecord::kSize> bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

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
    put(bytes, kDateOffset, answer.runDate);
    put(bytes, kClockOffset, answer.runClock);
    put(bytes, kStudentOffset, answer.student);
    put(bytes, kLevelOffset, answer.level);
    put(bytes, kAnswerNumberOffset, answer.answerNumber);
    put(bytes, kAnswersInRunOffset, answer.answersInRun);
    put(bytes, kFirstOffset, answer.first);
    put(bytes, kSecondOffset, answer.second);
    put(bytes, kPlaceOffset, answer.place);
    put(bytes, kProblemTypeOffset, answer.problemType);
    put(bytes, kWrongBoxesOffset, answer.wrongBoxes);
    put(bytes, kMillisecondsOffset, answer.milliseconds);
    for (std::size_t box = 0; box < answer.boxes.size(); ++box) {
        const std::size_t offset = kBoxesOffset + box * AnswerRecord::kBoxTextSize;
        const std::string digits = digitsOf(answer.boxes[box]);
        std::memset(bytes.data() + offset, ' ', AnswerRecord::kBoxTextSize);
        std::memcpy(bytes.data() + offset, digits.data(), digits.size());
    }
    put(bytes, kChecksumOffset, crc32(std::span(bytes).first(kChecksumOffset)));
    return bytes;
}

std::optional<AnswerRecord> decodeAnswer(std::span<const std::byte, AnswerRecord::kSize> bytes) {
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) return std::nullopt;
    if (get<std::uint32_t>(bytes, kChecksumOffset) != crc32(bytes.first(kChecksumOffset))) {
        return std::nullopt;
    }
    AnswerRecord answer;
    answer.runDate = get<double>(bytes, kDateOffset);
    answer.runClock = get<double>(bytes, kClockOffset);
    answer.student = get<std::int16_t>(bytes, kStudentOffset);
    answer.level = get<std::int16_t>(bytes, kLevelOffset);
    answer.answerNumber = get<std::int16_t>(bytes, kAnswerNumberOffset);
    answer.answersInRun = get<std::int16_t>(bytes, kAnswersInRunOffset);
    answer.first = get<std::int32_t>(bytes, kFirstOffset);
    answer.second = get<std::int32_t>(bytes, kSecondOffset);
    answer.place = get<std::int8_t>(bytes, kPlaceOffset);
    answer.problemType = get<std::int8_t>(bytes, kProblemTypeOffset);
    answer.wrongBoxes = get<std::uint8_t>(bytes, kWrongBoxesOffset);
    answer.milliseconds = get<std::int32_t>(bytes, kMillisecondsOffset);
    for (std::size_t box = 0; box < answer.boxes.size(); ++box) {
        const std::size_t offset = kBoxesOffset + box * AnswerRecord::kBoxTextSize;
        answer.boxes[box] = digitsOf(std::string(
            reinterpret_cast<const char*>(bytes.data() + offset), AnswerRecord::kBoxTextSize));
    }
    return answer;
}

}  // namespace gaisan
