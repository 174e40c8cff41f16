#pragma once

#include "platform/PosixRecordFile.h"

namespace gaisan::testing {

/// The real record file, for tests that change one or two of its calls to inject a fault.
class ForwardingRecordFile : public RecordFile {
public:
    std::optional<FileError> open(const std::filesystem::path& file) override {
        return m_file.open(file);
    }
    std::optional<FileError> openForReading(const std::filesystem::path& file) override {
        return m_file.openForReading(file);
    }
    void close() override { m_file.close(); }
    std::optional<FileError> length(std::uint64_t& bytes) override { return m_file.length(bytes); }
    std::optional<FileError> readAt(std::uint64_t offset, std::span<std::byte> into,
                                    std::size_t& bytesRead) override {
        return m_file.readAt(offset, into, bytesRead);
    }
    std::optional<FileError> lockForAppend() override { return m_file.lockForAppend(); }
    void unlock() override { m_file.unlock(); }
    std::optional<FileError> writeDurably(std::uint64_t offset,
                                          std::span<const std::byte> bytes) override {
        return m_file.writeDurably(offset, bytes);
    }
    std::optional<FileError> truncate(std::uint64_t length) override {
        return m_file.truncate(length);
    }

protected:
    PosixRecordFile m_file;
};

}  // namespace gaisan::testing
