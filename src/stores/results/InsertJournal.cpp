#include "stores/results/InsertJournal.h"

#include <array>
#include <cstring>

#include "platform/Checksum.h"
#include "platform/RecordFile.h"
#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::array<char, 8> kMagic = {'G', 'S', 'N', 'I', 'N', 'S', '0', '1'};
constexpr std::size_t kRecordOffset = 24;
constexpr std::size_t kHeaderSize = kRecordOffset + ResultRecord::kSize;
constexpr std::size_t kChecksumSize = 8;

}  // namespace

std::span<const std::byte, ResultRecord::kSize> InsertJournal::oldRecord(std::uint64_t n) const {
    return std::span<const std::byte, ResultRecord::kSize>(
        oldRecords.data() + (n - recordNumber) * ResultRecord::kSize, ResultRecord::kSize);
}

std::span<const std::byte, ResultRecord::kSize> InsertJournal::finalRecord(std::uint64_t n) const {
    if (n == recordNumber) return record;
    return oldRecord(n - 1);
}

std::vector<std::byte> InsertJournal::encode() const {
    std::vector<std::byte> bytes(kHeaderSize + oldRecords.size() + kChecksumSize);
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    putStored<std::uint64_t>(bytes, 8, recordNumber);
    putStored<std::uint64_t>(bytes, 16, recordsBefore);
    std::memcpy(bytes.data() + kRecordOffset, record.data(), record.size());
    // An empty vector's data() may be null, which memcpy must not be handed.
    if (!oldRecords.empty())
        std::memcpy(bytes.data() + kHeaderSize, oldRecords.data(), oldRecords.size());
    const std::size_t checked = kHeaderSize + oldRecords.size();
    putStored<std::uint64_t>(bytes, checked, fnv1a64(std::span(bytes).first(checked)));
    return bytes;
}

std::optional<InsertJournal> InsertJournal::decode(std::span<const std::byte> bytes) {
    if (bytes.size() < kHeaderSize + kChecksumSize ||
        std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) {
        return std::nullopt;
    }
    InsertJournal journal;
    journal.recordNumber = storedAt<std::uint64_t>(bytes, 8);
    journal.recordsBefore = storedAt<std::uint64_t>(bytes, 16);
    const std::size_t checked = bytes.size() - kChecksumSize;
    // A results file never grows up to its lock byte, so neither number can be larger.
    const std::uint64_t mostRecords = kAppendLockOffset / ResultRecord::kSize;
    if (journal.recordNumber < 1 || journal.recordNumber > journal.recordsBefore + 1 ||
        journal.recordsBefore >= mostRecords ||
        (journal.recordsBefore + 1 - journal.recordNumber) * ResultRecord::kSize !=
            checked - kHeaderSize ||
        storedAt<std::uint64_t>(bytes, checked) != fnv1a64(bytes.first(checked))) {
        return std::nullopt;
    }
    std::memcpy(journal.record.data(), bytes.data() + kRecordOffset, journal.record.size());
    journal.oldRecords.assign(bytes.begin() + kHeaderSize, bytes.begin() + checked);
    return journal;
}

}  // namespace gaisan
