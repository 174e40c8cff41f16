#pragma once

#include <optional>
#include <utility>

#include "support/ForwardingRecordFile.h"

namespace gaisan::testing {

/// The real file, except that opening for a read finds it busy `busyOpens` times and the next
/// read fails with `readError`.
class ScriptedRecordFile final : public ForwardingRecordFile {
public:
    int busyOpens = 0;
    std::optional<FileError> readError;

    Expected<void> openForReading(const std::filesystem::path& file) override {
        if (busyOpens > 0) {
            --busyOpens;
            return failureOf(
                FileError{FileErrorKind::Locked, 70, 11, "ほかのコンピュータが記録中です"});
        }
        return m_file.openForReading(file);
    }
    Expected<std::size_t> readAt(std::uint64_t offset, std::span<std::byte> into) override {
        if (auto error = std::exchange(readError, std::nullopt)) return failureOf(*error);
        return m_file.readAt(offset, into);
    }
};

}  // namespace gaisan::testing
