#pragma once

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

    [[nodiscard]] std::optional<FileError> open(const std::filesystem::path& file) override;
    [[nodiscard]] std::optional<FileError> openForReading(
        const std::filesystem::path& file) override;
    void close() override;
    [[nodiscard]] std::optional<FileError> length(std::uint64_t& bytes) override;
    [[nodiscard]] std::optional<FileError> readAt(std::uint64_t offset, std::span<std::byte> into,
                                                  std::size_t& bytesRead) override;
    [[nodiscard]] std::optional<FileError> lockForAppend() override;
    void unlock() override;
    [[nodiscard]] std::optional<FileError> writeDurably(std::uint64_t offset,
                                                        std::span<const std::byte> bytes) override;
    [[nodiscard]] std::optional<FileError> truncate(std::uint64_t length) override;

private:
    [[nodiscard]] std::optional<FileError> openWith(const std::filesystem::path& file, int flags);

    int m_descriptor = -1;
};

/// The FileError for an errno: its kind, the number the messages show, and a description in
/// Japanese. `locking` tells a held lock (EAGAIN, EACCES while locking) from a refused access.
FileError fileErrorOf(int errnoValue, bool locking = false);

}  // namespace gaisan
