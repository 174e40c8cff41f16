#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <variant>

#include "platform/FileError.h"

namespace gaisan {

/// A file of fixed-length records shared by several machines at once: opened for reading and
/// writing with no sharing restriction (created when absent), read without locks, and appended
/// to only while holding the exclusive append lock. A held lock is the retryable
/// FileErrorKind::Locked outcome, never a wait inside the call.
class RecordFile {
public:
    virtual ~RecordFile() = default;

    virtual std::optional<FileError> open(const std::filesystem::path& file) = 0;
    virtual void close() = 0;

    virtual std::variant<std::uint64_t, FileError> length() = 0;
    /// Reads up to `into.size()` bytes at `offset`; returns how many were read.
    virtual std::variant<std::size_t, FileError> readAt(std::uint64_t offset,
                                                         std::span<std::byte> into) = 0;

    virtual std::optional<FileError> lockForAppend() = 0;
    virtual void unlock() = 0;
    /// Writes all of `bytes` at `offset` and makes them durable before returning.
    virtual std::optional<FileError> writeDurably(std::uint64_t offset,
                                                  std::span<const std::byte> bytes) = 0;
    virtual std::optional<FileError> truncate(std::uint64_t length) = 0;
};

}  // namespace gaisan
