#pragma once

#include "platform/FileError.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// The record file on Linux, local or on a network drive.
///
/// The append lock is an open-file-description lock (F_OFD_SETLK) on the byte at
/// kAppendLockOffset:
/// - a classic F_SETLK lock is dropped silently when the process closes any descriptor of the
///   file, and appends were lost that way under load; an OFD lock belongs to this open file only;
/// - flock is either not sent to a CIFS server at all or becomes a whole-file mandatory lock that
///   makes every reader on another machine fail;
/// - the byte lies far beyond any data, so that servers with mandatory byte-range locks never
///   block a reader of the records.
class PosixRecordFile final : public RecordFile {
public:
    PosixRecordFile() = default;
    ~PosixRecordFile() override;
    PosixRecordFile(const PosixRecordFile&) = delete;
    PosixRecordFile& operator=(const PosixRecordFile&) = delete;

    Expected<void> open(const std::filesystem::path& file) override;
    Expected<void> openForReading(const std::filesystem::path& file) override;
    void close() override;
    Expected<std::uint64_t> length() override;
    Expected<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> into) override;
    Expected<void> lockForAppend() override;
    void unlock() override;
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override;
    Expected<void> truncate(std::uint64_t length) override;

private:
    Expected<void> openWith(const std::filesystem::path& file, int flags);
    /// The failure for errno as it stands, naming the file.
    Unexpected<Failure> lastFailure(bool locking = false) const;

    std::filesystem::path m_path;
    int m_descriptor = -1;
};

/// The FileError for an errno: its kind, the number the messages show, and a description in
/// Japanese. `locking` tells a held lock (EAGAIN, EACCES while locking) from a refused access.
FileError fileErrorOf(int errnoValue, bool locking = false);

}  // namespace gaisan
