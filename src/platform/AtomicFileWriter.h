#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace gaisan {

/// Writes a file whole or not at all: the bytes go to a temporary file in the same folder, which
/// commit() syncs and renames over `file`, so that a crash, a full disk or a reader on another
/// machine never sees a half-written file. A writer destroyed without commit() removes its
/// temporary file and leaves `file` as it was. Every failure throws DataFileError naming `file`.
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
    /// file, those of shareLikeItsFolder), renames it into place and syncs the folder.
    void commit();

private:
    [[noreturn]] void fail(const char* what);

    std::filesystem::path m_file;
    std::filesystem::path m_temporary;
    int m_descriptor = -1;
    /// Whether the file ends in a hole, which only setting its length makes part of it.
    bool m_endsInHole = false;
};

}  // namespace gaisan
