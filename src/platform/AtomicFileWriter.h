#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "platform/Expected.h"

namespace gaisan {

/// Writes a file whole or not at all: the bytes go to a temporary file in the same folder, which
/// commit() syncs and renames over `file`, so that a crash, a full disk or a reader on another
/// machine never sees a half-written file. A writer destroyed without commit() removes its
/// temporary file and leaves `file` as it was.
///
/// The first failure, naming `file`, is kept and told by commit(), which then replaces nothing:
/// the file is written whole or not at all, so one look at the end tells every failure along
/// the way, and a writer fed from a loop needs no check at each step. Nothing is written after
/// a failure.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path file);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void write(std::span<const std::byte> bytes);
    /// Writes `count` zero bytes as a hole, where the file system keeps holes: a copy of a file
    /// grown by zeros then costs neither the time to write them nor the room.
    void writeZeros(std::uint64_t count);
    /// Syncs the bytes, gives the file the mode and group of the file it replaces (or, for a new
    /// file, those of shareLikeItsFolder), renames it into place and syncs the folder; or tells
    /// the first failure met, leaving `file` as it was.
    Expected<void> commit();

private:
    /// Keeps the failure of `what`, with the system's words for errno, unless one is kept already.
    void fail(const char* what);

    std::optional<Failure> m_failure;
    std::filesystem::path m_file;
    std::filesystem::path m_temporary;
    int m_descriptor = -1;
    /// Whether the file ends in a hole, which only setting its length makes part of it.
    bool m_endsInHole = false;
};

}  // namespace gaisan
