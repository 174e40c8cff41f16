#include "rules/admin/RecordSnapshot.h"

#include <algorithm>
#include <cstring>

#include "stores/results/RecordReader.h"

namespace gaisan {

Expected<void> RecordSnapshot::load(RecordFile& file, const std::filesystem::path& resultsFile) {
    m_bytes.clear();
    m_shown.clear();
    // A record appended meanwhile shows at the next refresh.
    Expected<void> read =
        readRecords(file, resultsFile, {RecordSelection::all(), WhenMissing::IsEmpty},
                    [&](const RecordBlock& block) {
                        if (m_bytes.empty())
                            m_bytes.reserve(block.wholeRecords * ResultRecord::kSize);
                        for (std::size_t i = 0; i < block.count(); ++i) {
                            if (decodeRunFields(block.record(i)).level != 0) {
                                m_shown.push_back(static_cast<std::uint32_t>(block.first + i));
                            }
                        }
                        m_bytes.insert(m_bytes.end(), block.bytes.begin(), block.bytes.end());
                        return true;
                    });
    if (!read) {
        m_bytes.clear();
        m_shown.clear();
    }
    return read;
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
