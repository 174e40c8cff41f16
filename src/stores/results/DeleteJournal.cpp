#include "stores/results/DeleteJournal.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/Checksum.h"
#include "platform/RecordFile.h"
#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::array<char, 8> kMagic = {'G', 'S', 'N', 'D', 'E', 'L', '0', '1'};
constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kChecksumSize = 8;

}  // namespace

std::span<const std::byte, ResultRecord::kSize> DeleteJournal::oldRecord(std::uint64_t n) const {
    return std::span<const std::byte, ResultRecord::kSize>(
        oldRecords.data() + (n - recordNumber) * ResultRecord::kSize, ResultRecord::kSize);
}

std::vector<std::byte> DeleteJournal::encode() const {
    std::vector<std::byte> bytes(kHeaderSize + oldRecords.size() + kChecksumSize);
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    putStored<std::uint64_t>(bytes, 8, recordNumber);
    putStored<std::uint64_t>(bytes, 16, recordsBefore);
    std::memcpy(bytes.data() + kHeaderSize, oldRecords.data(), oldRecords.size());
    const std::size_t checked = kHeaderSize + oldRecords.size();
    putStored<std::uint64_t>(bytes, checked, fnv1a64(std::span(bytes).first(checked)));
    return bytes;
}

bool DeleteJournal::looksLikeJournal(std::span<const std::byte> bytes) {
    const std::size_t compared = std::min(bytes.size(), kMagic.size());
    // An empty file has no bytes to compare, and memcmp must not be handed its null pointer.
    return compared == 0 || std::memcmp(bytes.data(), kMagic.data(), compared) == 0;
}

std::optional<DeleteJournal> DeleteJournal::decode(std::span<const std::byte> bytes) {
    if (!looksLikeJournal(bytes) || bytes.size() < kHeaderSize + kChecksumSize) return std::nullopt;
    DeleteJournal journal;
    journal.recordNumber = storedAt<std::uint64_t>(bytes, 8);
    journal.recordsBefore = storedAt<std::uint64_t>(bytes, 16);
    const std::size_t checked = bytes.size() - kChecksumSize;
    // A results file never grows up to its lock byte, so neither number can be larger.
    const std::uint64_t mostRecords = kAppendLockOffset / ResultRecord::kSize;
    if (journal.recordNumber < 1 || journal.recordNumber > journal.recordsBefore ||
        journal.recordsBefore > mostRecords ||
        (journal.recordsBefore - journal.recordNumber + 1) * ResultRecord::kSize !=
            checked - kHeaderSize ||
        storedAt<std::uint64_t>(bytes, checked) != fnv1a64(bytes.first(checked))) {
        return std::nullopt;
    }
    journal.oldRecords.assign(bytes.begin() + kHeaderSize, bytes.begin() + checked);
    return journal;
}

}  // namespace gaisan
