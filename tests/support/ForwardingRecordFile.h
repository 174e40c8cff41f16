#pragma once

#include "platform/PosixRecordFile.h"

namespace gaisan::testing {

/// The real record file, for tests that change one or two of its calls to inject a fault.
class ForwardingRecordFile : public RecordFile {
public:
    Expected<void> open(const std::filesystem::path& file) override { return m_file.open(file); }
    Expected<void> openForReading(const std::filesystem::path& file) override {
        return m_file.openForReading(file);
    }
    void close() override { m_file.close(); }
    Expected<std::uint64_t> length() override { return m_file.length(); }
    Expected<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> into) override {
        return m_file.readAt(offset, into);
    }
    Expected<void> lockForAppend() override { return m_file.lockForAppend(); }
    void unlock() override { m_file.unlock(); }
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override {
        return m_file.writeDurably(offset, bytes);
    }
    Expected<void> truncate(std::uint64_t length) override { return m_file.truncate(length); }

protected:
    PosixRecordFile m_file;
};

/// The failure a faulty file reports for `error`.
inline Unexpected<Failure> failureOf(const FileError& error) {
    return Unexpected(fileFailure({}, error));
}

}  // namespace gaisan::testing
