#include "admin/RecordSnapshot.h"

#include <algorithm>
#include <cstring>

#include "platform/ClosesOnExit.h"

namespace gaisan {

std::optional<FileError> RecordSnapshot::load(RecordFile& file,
                                              const std::filesystem::path& resultsFile) {
    m_bytes.clear();
    m_shown.clear();
    ClosesOnExit closes(file);
    if (auto error = file.openForReading(resultsFile)) {
        if (error->kind == FileErrorKind::NotFound) return std::nullopt;
        return error;
    }
    std::uint64_t length = 0;
    if (auto error = file.length(length)) return error;
    // The length seen now bounds the read: a record appended meanwhile shows at the next refresh.
    m_bytes.resize(length / ResultRecord::kSize * ResultRecord::kSize);
    std::size_t bytesRead = 0;
    if (auto error = file.readAt(0, m_bytes, bytesRead)) {
        m_bytes.clear();
        return error;
    }
    m_bytes.resize(bytesRead / ResultRecord::kSize * ResultRecord::kSize);
    m_shown.reserve(recordCount());
    for (std::uint64_t n = 1; n <= recordCount(); ++n) {
        const LoadedRecord fields = decodeRunFields(std::span<const std::byte, ResultRecord::kSize>(
            m_bytes.data() + (n - 1) * ResultRecord::kSize, ResultRecord::kSize));
        if (fields.level != 0) m_shown.push_back(static_cast<std::uint32_t>(n));
    }
    return std::nullopt;
}

RecordBytes RecordSnapshot::recordBytes(std::uint64_t number) const {
    RecordBytes bytes;
    std::memcpy(bytes.data(), m_bytes.data() + (number - 1) * ResultRecord::kSize,
                ResultRecord::kSize);
    return bytes;
}

std::optional<std::size_t> RecordSnapshot::lineForRecord(std::uint64_t number) const {
    if (m_shown.empty()) return std::nullopt;
    const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), number);
    if (at == m_shown.end()) return m_shown.size() - 1;
    return static_cast<std::size_t>(at - m_shown.begin());
}

}  // namespace gaisan
