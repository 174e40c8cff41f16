#include "base/ResultRecord.h"

#include <cstring>

#include "platform/Cp932.h"
#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::size_t kDateOffset = 0;
constexpr std::size_t kClockOffset = 8;
constexpr std::size_t kStudentOffset = 16;
constexpr std::size_t kLevelOffset = 18;
constexpr std::size_t kSecondsOffset = 20;
constexpr std::size_t kSchoolCodeOffset = 24;
constexpr std::size_t kExtraOffset = 29;
constexpr std::size_t kPointsOffset = 34;
constexpr std::size_t kSpareOffset = 39;

/// Length of the longest prefix of CP932 `text` of at most `limit` bytes that ends on a
/// character boundary.
std::size_t wholeCharacters(const std::string& text, std::size_t limit) {
    std::size_t length = 0;
    while (length < text.size()) {
        const auto lead = static_cast<unsigned char>(text[length]);
        const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        const std::size_t width = doubleByte ? 2 : 1;
        if (length + width > limit) break;
        length += width;
    }
    return length;
}

void putText(RecordBytes& bytes, std::size_t offset, const std::string& utf8) {
    const std::string cp932 = encodeCp932(utf8);
    const std::size_t length = wholeCharacters(cp932, ResultRecord::kTextFieldSize);
    std::memset(bytes.data() + offset, ' ', ResultRecord::kTextFieldSize);
    std::memcpy(bytes.data() + offset, cp932.data(), length);
}

std::string getText(std::span<const std::byte, ResultRecord::kSize> bytes, std::size_t offset) {
    const std::string raw(reinterpret_cast<const char*>(bytes.data() + offset),
                          ResultRecord::kTextFieldSize);
    try {
        return decodeCp932(raw);
    } catch (const Cp932Error& e) {
        return decodeCp932(raw.substr(0, e.offset()));
    }
}

}  // namespace

RecordBytes encodeRecord(const ResultRecord& record) {
    RecordBytes bytes{};
    putStored(bytes, kDateOffset, record.RecordDate);
    putStored(bytes, kClockOffset, record.RecordClock);
    putStored(bytes, kStudentOffset, record.StudentIndex);
    putStored(bytes, kLevelOffset, record.LevelIndex);
    putStored(bytes, kSecondsOffset, record.ResultSeconds);
    putText(bytes, kSchoolCodeOffset, record.SchoolCode);
    putText(bytes, kExtraOffset, record.ExtraField);
    putText(bytes, kPointsOffset, record.PointsField);
    std::memcpy(bytes.data() + kSpareOffset, record.SpareField.data(), record.SpareField.size());
    return bytes;
}

LoadedRecord decodeRunFields(std::span<const std::byte, ResultRecord::kSize> bytes) {
    return {storedAt<double>(bytes, kDateOffset), storedAt<double>(bytes, kClockOffset),
            storedAt<std::int16_t>(bytes, kStudentOffset),
            storedAt<std::int16_t>(bytes, kLevelOffset),
            storedAt<std::int32_t>(bytes, kSecondsOffset)};
}

RecordBytes withStudentAndSeconds(RecordBytes bytes, std::int16_t student, std::int32_t seconds) {
    putStored(bytes, kStudentOffset, student);
    putStored(bytes, kSecondsOffset, seconds);
    return bytes;
}

LoadedRecord runFieldsOf(const ResultRecord& record) {
    return {record.RecordDate, record.RecordClock, record.StudentIndex, record.LevelIndex,
            record.ResultSeconds};
}

ResultRecord decodeRecord(std::span<const std::byte, ResultRecord::kSize> bytes) {
    ResultRecord record;
    record.RecordDate = storedAt<double>(bytes, kDateOffset);
    record.RecordClock = storedAt<double>(bytes, kClockOffset);
    record.StudentIndex = storedAt<std::int16_t>(bytes, kStudentOffset);
    record.LevelIndex = storedAt<std::int16_t>(bytes, kLevelOffset);
    record.ResultSeconds = storedAt<std::int32_t>(bytes, kSecondsOffset);
    record.SchoolCode = getText(bytes, kSchoolCodeOffset);
    record.ExtraField = getText(bytes, kExtraOffset);
    record.PointsField = getText(bytes, kPointsOffset);
    std::memcpy(record.SpareField.data(), bytes.data() + kSpareOffset, record.SpareField.size());
    return record;
}

}  // namespace gaisan
