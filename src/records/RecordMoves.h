#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/RecordFile.h"
#include "records/ResultRecord.h"

namespace gaisan {

/// Records read or written at a time when a delete or a put-back moves them: each piece is
/// synced before the next, which bounds the memory a change to a large file needs beyond its
/// journal.
inline constexpr std::uint64_t kRecordsPerPiece = 16384;

/// Reads `count` records from record `first` (from 1) into `into`, cut to the whole records
/// read.
[[nodiscard]] std::optional<FileError> readRecordsAt(RecordFile& file, std::uint64_t first,
                                                     std::uint64_t count,
                                                     std::vector<std::byte>& into);

/// Writes `records` (whole records) from record `first` on, in pieces, each made durable.
[[nodiscard]] std::optional<FileError> writeRecordsAt(RecordFile& file, std::uint64_t first,
                                                      std::span<const std::byte> records);

/// Whether each byte of the record `now` is the same byte of `one` or of `other`. A crash can cut
/// a write anywhere, not only between records: a killed write stops at a page of the system's
/// cache, and a power cut may keep any of its pages. So a record can be left half moved.
[[nodiscard]] bool eachByteOneOf(const std::byte* now, const std::byte* one,
                                 const std::byte* other);

}  // namespace gaisan
