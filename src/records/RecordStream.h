#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "records/ResultRecord.h"

namespace gaisan {

/// How far a stream of the results file got.
struct RecordStreamEnd {
    std::uint64_t wholeRecords = 0;
    std::uint64_t partialBytes = 0;  ///< of a partial record after the whole ones
    std::uint64_t bytesSeen = 0;     ///< the file's length at the start
};

/// Hands every whole record of `file` to `onRecord` in file order, with its 1-based number.
/// Streams in constant memory and reads no further than the length seen at the start, so that a
/// huge file costs only time and one that never ends cannot hold the reader. Reads without a
/// lock, as every reader of the file does. A file that cannot be opened or read throws
/// DataFileError.
RecordStreamEnd forEachRecord(const std::filesystem::path& file,
                              const std::function<void(std::uint64_t, const ResultRecord&)>& onRecord);

}  // namespace gaisan
