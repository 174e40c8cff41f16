#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"

namespace gaisan::testing {

/// Every entry of the change history beside `resultsFile`, oldest first; a damaged entry, or a
/// history that cannot be read, fails the test.
inline std::vector<HistoryEntry> historyEntriesOf(const std::filesystem::path& resultsFile) {
    std::vector<HistoryEntry> entries;
    PosixRecordFile file;
    const Expected<void> read =
        readHistory(file, historyFileOf(resultsFile),
                    [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
                        if (entry) {
                            entries.push_back(*entry);
                        } else {
                            ADD_FAILURE() << "history entry " << number << " is damaged";
                        }
                    });
    if (!read) ADD_FAILURE() << read.error().text();
    return entries;
}

}  // namespace gaisan::testing
