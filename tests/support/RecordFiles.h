#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/ResultRecord.h"
#include "platform/Calendar.h"

namespace gaisan::testing {

/// A record as a finished run writes it, for building results files in tests.
inline ResultRecord runRecord(int student, int level, std::int32_t seconds,
                              CivilDate date = {2026, 12, 10}, double clock = 0.5) {
    ResultRecord record;
    record.RecordDate = daySerial(date);
    record.RecordClock = clock;
    record.StudentIndex = static_cast<std::int16_t>(student);
    record.LevelIndex = static_cast<std::int16_t>(level);
    record.ResultSeconds = seconds;
    record.SchoolCode = "12345";
    record.ExtraField = "     ";
    record.PointsField = "0    ";
    return record;
}

/// Appends the records' bytes to `file` directly, as another machine might have.
inline void appendRecords(const std::filesystem::path& file,
                          const std::vector<ResultRecord>& records) {
    std::ofstream stream(file, std::ios::binary | std::ios::app);
    for (const ResultRecord& record : records) {
        const RecordBytes bytes = encodeRecord(record);
        stream.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
}

/// Every whole record of `file`, in file order.
inline std::vector<ResultRecord> recordsIn(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(stream)),
                            std::istreambuf_iterator<char>());
    std::vector<ResultRecord> records;
    for (std::size_t at = 0; at + ResultRecord::kSize <= bytes.size(); at += ResultRecord::kSize) {
        records.push_back(decodeRecord(std::span<const std::byte, ResultRecord::kSize>(
            reinterpret_cast<const std::byte*>(bytes.data() + at), ResultRecord::kSize)));
    }
    return records;
}

}  // namespace gaisan::testing
