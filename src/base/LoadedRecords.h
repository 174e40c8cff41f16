#pragma once

#include <cstdint>
#include <vector>

namespace gaisan {

/// What the counting needs of one record; the clock serves only the loader's failure message.
struct LoadedRecord {
    double date = 0;
    double clock = 0;
    std::int16_t student = 0;
    std::int16_t level = 0;
    std::int32_t seconds = 0;
};

/// The newest records of the results file, oldest first: at most kLoadWindow of them, so that
/// loading costs the same however long a school has used the program.
struct LoadedRecords {
    static constexpr std::size_t kLoadWindow = 20000;

    LoadedRecords() { entries.reserve(kLoadWindow); }
    std::vector<LoadedRecord> entries;
};

}  // namespace gaisan
