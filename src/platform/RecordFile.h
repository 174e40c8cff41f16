#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/Expected.h"

namespace gaisan {

/// The byte the append lock is taken on, far beyond any data so that readers are never blocked
/// by it: a record file must never grow up to it.
inline constexpr std::uint64_t kAppendLockOffset = 0x40000000;

/// A file of fixed-length records that several machines use at once: opened for reading and
/// writing with no sharing restriction (created when absent), read without locks, and written
/// only while holding the exclusive append lock. A lock held elsewhere is the retryable
/// FileErrorKind::Locked outcome, never a wait inside the call. A failure names the file opened
/// last and keeps the system's error, whose kind tells the caller whether to wait, retry or
/// report.
class RecordFile {
public:
    virtual ~RecordFile() = default;

    /// Opens for reading and writing, creating the file when absent.
    virtual Expected<void> open(const std::filesystem::path& file) = 0;
    /// Opens an existing file for reading only.
    virtual Expected<void> openForReading(const std::filesystem::path& file) = 0;
    /// Closes the file, releasing the lock if it is held.
    virtual void close() = 0;

    /// The file's length in bytes as it is now on the machine that stores it; with the append
    /// lock held, the place where the next record goes.
    virtual Expected<std::uint64_t> length() = 0;
    /// Reads up to `into.size()` bytes at `offset` and gives how many were read: fewer only at
    /// the end of the file.
    virtual Expected<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> into) = 0;

    virtual Expected<void> lockForAppend() = 0;
    virtual void unlock() = 0;
    /// Writes all of `bytes` at `offset` in one call and makes them durable before returning;
    /// a short write is an error.
    virtual Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) = 0;
    /// Cuts the file to `length` bytes and makes the new length durable before returning.
    virtual Expected<void> truncate(std::uint64_t length) = 0;
};

}  // namespace gaisan
