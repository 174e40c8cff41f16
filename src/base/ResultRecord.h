#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/LoadedRecords.h"

namespace gaisan {

/// One recorded run as the results file stores it: 44 bytes, little-endian, no padding.
struct ResultRecord {
    static constexpr std::size_t kSize = 44;
    static constexpr std::size_t kTextFieldSize = 5;

    double RecordDate = 0;   ///< day serial, no fraction
    double RecordClock = 0;  ///< fraction of a day
    std::int16_t StudentIndex = 0;
    std::int16_t LevelIndex = 0;
    std::int32_t ResultSeconds = 0;  ///< 99999 for a time-up, 99998 for a failed run
    std::string SchoolCode;          ///< the three text fields, decoded, trailing spaces kept
    std::string ExtraField;
    std::string PointsField;
    std::array<std::byte, kTextFieldSize> SpareField{};  ///< never written: zero bytes
};

using RecordBytes = std::array<std::byte, ResultRecord::kSize>;

/// The record's 44 bytes. Text fields are converted to CP932 and cut (never inside a
/// double-byte character) or padded with spaces to exactly 5 bytes.
RecordBytes encodeRecord(const ResultRecord& record);

/// The record held by 44 bytes. A text field that is not valid CP932 is kept byte for byte as
/// far as it decodes.
ResultRecord decodeRecord(std::span<const std::byte, ResultRecord::kSize> bytes);

/// Only the date, clock, student, level and seconds of a record: what counting needs, without
/// converting three texts for each of 20000 records.
LoadedRecord decodeRunFields(std::span<const std::byte, ResultRecord::kSize> bytes);

/// `bytes` with the student and the seconds replaced; every other byte, those of the text fields
/// included, stays exactly as it was.
RecordBytes withStudentAndSeconds(RecordBytes bytes, std::int16_t student, std::int32_t seconds);

/// The date, clock, student, level and seconds of a decoded record.
LoadedRecord runFieldsOf(const ResultRecord& record);

}  // namespace gaisan
