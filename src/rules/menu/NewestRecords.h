#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "base/LoadedRecords.h"
#include "platform/FileError.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// What a read of the results file asks of its caller while it reads.
struct RecordReadEvents {
    /// The file is held by another machine (error 70) or open elsewhere (55): called before the
    /// step that met it is tried again, without limit. The program waits a second and tells
    /// the user to call the teacher.
    std::function<void(const FileError&)> busy;
    /// The record about to be read, of `records` whole records when the read began; called
    /// once per block of records.
    std::function<void(std::uint64_t record, std::uint64_t records)> progress;
};

/// Hands the newest `window` records of the results file at `path` to `onRecord`, oldest
/// first, as the run lists and the graphs read them (see readRecords): a missing file is created
/// empty, and a busy one is waited out for as long as it stays busy. Returns the failure, other
/// than a busy file, that ended the read.
Expected<void> readNewestRecords(RecordFile& file, const std::filesystem::path& path,
                                 std::uint64_t window, const RecordReadEvents& events,
                                 const std::function<void(const LoadedRecord&)>& onRecord);

}  // namespace gaisan
