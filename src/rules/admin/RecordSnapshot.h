#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/ResultRecord.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// The results file as the records browser last read it: the bytes of every whole record and the
/// records that get a line (all but those of level 0), in record order. Lines are made from it
/// only when shown, so that a school's million records cost one read of the file and four bytes
/// a line, not a million texts.
class RecordSnapshot {
public:
    /// Reads the file afresh, without a lock, as every reader does; a missing file is an empty
    /// one. On a failure the snapshot is empty.
    Expected<void> load(RecordFile& file, const std::filesystem::path& resultsFile);

    std::size_t lineCount() const { return m_shown.size(); }
    std::uint64_t recordCount() const { return m_bytes.size() / ResultRecord::kSize; }
    /// The record number (from 1) that line `line` (from 0) shows.
    std::uint64_t recordOfLine(std::size_t line) const { return m_shown[line]; }
    /// The 44 bytes of record `number` as read.
    RecordBytes recordBytes(std::uint64_t number) const;
    /// The line to select for record `number` after a change: its own line, or when it has none
    /// the next line after it, or the last line; nothing when the list is empty.
    std::optional<std::size_t> lineForRecord(std::uint64_t number) const;

private:
    std::vector<std::byte> m_bytes;
    std::vector<std::uint32_t> m_shown;
};

}  // namespace gaisan
