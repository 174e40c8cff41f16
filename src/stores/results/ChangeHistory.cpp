#include "stores/results/ChangeHistory.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Calendar.h"
#include "platform/Checksum.h"
#include "platform/ClosesOnExit.h"
#include "platform/Machine.h"
#include "platform/StoredNumbers.h"

namespace gaisan {
namespace {

constexpr std::array<char, 4> kMagic = {'G', 'H', 'S', '1'};
constexpr std::size_t kHostOffset = 40;
constexpr std::size_t kUserOffset = kHostOffset + HistoryEntry::kHostSize;
constexpr std::size_t kBeforeOffset = kUserOffset + HistoryEntry::kUserSize;
constexpr std::size_t kAfterOffset = kBeforeOffset + ResultRecord::kSize;
constexpr std::size_t kUndoesOffset = kAfterOffset + ResultRecord::kSize;
constexpr std::size_t kChecksumOffset = HistoryEntry::kSize - 8;
/// Entries read at a time: the history of years of changes costs only time.
constexpr std::size_t kEntriesPerPiece = 4096;

/// `text` cut to `size` bytes, never inside a UTF-8 character.
std::string cutTo(const std::string& text, std::size_t size) {
    if (text.size() <= size) return text;
    std::size_t end = size;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0u) == 0x80u) --end;
    return text.substr(0, end);
}

void putText(std::span<std::byte> bytes, std::size_t offset, std::size_t size,
             const std::string& text) {
    const std::string cut = cutTo(text, size);
    std::memcpy(bytes.data() + offset, cut.data(), cut.size());
}

std::string textAt(std::span<const std::byte> bytes, std::size_t offset, std::size_t size) {
    const char* start = reinterpret_cast<const char*>(bytes.data() + offset);
    return std::string(start, std::find(start, start + size, '\0'));
}

/// Opens the history for reading and gives its length; a history not there has length 0 and
/// stays closed.
Expected<std::uint64_t> openHistory(RecordFile& file, const std::filesystem::path& history) {
    std::error_code missing;
    if (!std::filesystem::exists(history, missing)) return std::uint64_t{0};
    if (auto opened = file.openForReading(history); !opened) return Unexpected(opened.error());
    return file.length();
}

}  // namespace

const RecordBytes& recordShownLast(const HistoryEntry& entry) {
    return entry.kind == HistoryEntry::Kind::Delete ? entry.before : entry.after;
}

HistoryBytes encodeHistoryEntry(const HistoryEntry& entry) {
    HistoryBytes bytes{};
    const std::span<std::byte> span(bytes);
    std::memcpy(bytes.data(), kMagic.data(), kMagic.size());
    bytes[4] = static_cast<std::byte>(entry.kind);
    putStored(span, 8, entry.date);
    putStored(span, 16, entry.clock);
    putStored(span, 24, entry.recordNumber);
    putStored(span, 32, entry.recordsBefore);
    putText(span, kHostOffset, HistoryEntry::kHostSize, entry.host);
    putText(span, kUserOffset, HistoryEntry::kUserSize, entry.user);
    std::memcpy(bytes.data() + kBeforeOffset, entry.before.data(), ResultRecord::kSize);
    std::memcpy(bytes.data() + kAfterOffset, entry.after.data(), ResultRecord::kSize);
    putStored(span, kUndoesOffset, entry.undoes);
    putStored(span, kChecksumOffset, fnv1a64(span.first(kChecksumOffset)));
    return bytes;
}

std::optional<HistoryEntry> decodeHistoryEntry(
    std::span<const std::byte, HistoryEntry::kSize> bytes) {
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0 ||
        storedAt<std::uint64_t>(bytes, kChecksumOffset) != fnv1a64(bytes.first(kChecksumOffset))) {
        return std::nullopt;
    }
    const auto kind = static_cast<std::uint8_t>(bytes[4]);
    if (kind < static_cast<std::uint8_t>(HistoryEntry::Kind::Delete) ||
        kind > static_cast<std::uint8_t>(HistoryEntry::Kind::PutBack)) {
        return std::nullopt;
    }
    HistoryEntry entry;
    entry.kind = static_cast<HistoryEntry::Kind>(kind);
    entry.date = storedAt<double>(bytes, 8);
    entry.clock = storedAt<double>(bytes, 16);
    entry.recordNumber = storedAt<std::uint64_t>(bytes, 24);
    entry.recordsBefore = storedAt<std::uint64_t>(bytes, 32);
    entry.host = textAt(bytes, kHostOffset, HistoryEntry::kHostSize);
    entry.user = textAt(bytes, kUserOffset, HistoryEntry::kUserSize);
    std::memcpy(entry.before.data(), bytes.data() + kBeforeOffset, ResultRecord::kSize);
    std::memcpy(entry.after.data(), bytes.data() + kAfterOffset, ResultRecord::kSize);
    entry.undoes = storedAt<std::uint64_t>(bytes, kUndoesOffset);
    return entry;
}

HistoryEntry historyEntryFor(HistoryEntry::Kind kind, std::uint64_t number, std::uint64_t records,
                             const LocalDateTime& now) {
    HistoryEntry entry;
    entry.kind = kind;
    entry.date = daySerial(now.date);
    entry.clock = std::floor(now.secondsSinceMidnight) / 86400.0;
    entry.recordNumber = number;
    entry.recordsBefore = records;
    entry.host = cutTo(hostName(), HistoryEntry::kHostSize);
    entry.user = cutTo(userName(), HistoryEntry::kUserSize);
    return entry;
}

Expected<void> appendHistoryEntry(RecordFile& file, const std::filesystem::path& history,
                                  const HistoryEntry& entry) {
    ClosesOnExit closes(file);
    if (auto opened = file.open(history); !opened) return opened;
    const Expected<std::uint64_t> length = file.length();
    if (!length) return Unexpected(length.error());
    const std::uint64_t position = *length / HistoryEntry::kSize * HistoryEntry::kSize;
    if (historyIsFull(*length)) {
        return Unexpected(fileFailure(
            history,
            FileError{FileErrorKind::Other, 75, 0,
                      "変更履歴が上限の" + std::to_string(kMostHistoryEntries) +
                          "件に達しているため、変更を記録できません（壊れて大きくなった履歴は "
                          "gaisan-records history --set-aside-damaged で直せます）"}));
    }
    Expected<void> written = file.writeDurably(position, encodeHistoryEntry(entry));
    // Only a full disk makes it certain that the bytes past the old end are this write's.
    if (!written && (written.error().error.systemNumber == ENOSPC ||
                     written.error().error.systemNumber == EDQUOT)) {
        static_cast<void>(file.truncate(*length));
    }
    return written;
}

Expected<std::optional<HistoryEntry>> newestHistoryEntry(RecordFile& file,
                                                         const std::filesystem::path& history) {
    ClosesOnExit closes(file);
    const Expected<std::uint64_t> length = openHistory(file, history);
    if (!length) return Unexpected(length.error());
    std::optional<HistoryEntry> newest;
    if (*length < HistoryEntry::kSize) return newest;
    HistoryBytes bytes{};
    const std::uint64_t last = *length / HistoryEntry::kSize * HistoryEntry::kSize;
    const Expected<std::size_t> bytesRead = file.readAt(last - HistoryEntry::kSize, bytes);
    if (!bytesRead) return Unexpected(bytesRead.error());
    if (*bytesRead == HistoryEntry::kSize) newest = decodeHistoryEntry(bytes);
    return newest;
}

Expected<void> readHistory(RecordFile& file, const std::filesystem::path& history,
                           const HistoryVisitor& onEntry, std::uint64_t first) {
    ClosesOnExit closes(file);
    const Expected<std::uint64_t> length = openHistory(file, history);
    if (!length) return Unexpected(length.error());
    const std::uint64_t entries = *length / HistoryEntry::kSize;
    std::vector<std::byte> piece(kEntriesPerPiece * HistoryEntry::kSize);
    for (std::uint64_t next = std::max<std::uint64_t>(first, 1) - 1; next < entries;) {
        const auto count =
            static_cast<std::size_t>(std::min<std::uint64_t>(kEntriesPerPiece, entries - next));
        const Expected<std::size_t> bytesRead = file.readAt(
            next * HistoryEntry::kSize, std::span(piece).first(count * HistoryEntry::kSize));
        if (!bytesRead) return Unexpected(bytesRead.error());
        const std::size_t whole = *bytesRead / HistoryEntry::kSize;
        for (std::size_t i = 0; i < whole; ++i) {
            onEntry(next + i + 1,
                    decodeHistoryEntry(std::span<const std::byte, HistoryEntry::kSize>(
                        piece.data() + i * HistoryEntry::kSize, HistoryEntry::kSize)));
        }
        if (whole < count) break;  // cut back meanwhile
        next += whole;
    }
    return {};
}

Expected<void> readHistoryInRuns(RecordFile& file, const std::filesystem::path& history,
                                 const WholeEntryVisitor& onEntry,
                                 const DamagedRunVisitor& onDamaged) {
    std::optional<std::uint64_t> runStart;
    std::uint64_t last = 0;
    Expected<void> read = readHistory(
        file, history, [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
            last = number;
            if (!entry) {
                if (!runStart) runStart = number;
                return;
            }
            if (runStart) onDamaged(*runStart, number - 1);
            runStart.reset();
            onEntry(number, *entry);
        });
    if (runStart) onDamaged(*runStart, last);
    return read;
}

std::optional<std::string> visibleHistoryDamage(RecordFile& file, std::uint64_t length) {
    if (length > kMostHistoryEntries * HistoryEntry::kSize) {
        return "上限の" + std::to_string(kMostHistoryEntries) + "件より大きくなっている";
    }
    const std::uint64_t entries = length / HistoryEntry::kSize;
    const auto damagedAt = [&](std::uint64_t number) {
        HistoryBytes bytes{};
        const Expected<std::size_t> bytesRead =
            file.readAt((number - 1) * HistoryEntry::kSize, bytes);
        return bytesRead && *bytesRead == bytes.size() && !decodeHistoryEntry(bytes);
    };
    if (entries >= 1 && damagedAt(1)) return std::string("最初の変更から壊れている");
    if (entries >= 2 && damagedAt(entries)) return std::string("最後の変更が壊れている");
    return std::nullopt;
}

Expected<void> readNewestHistory(RecordFile& file, const std::filesystem::path& history,
                                 std::uint64_t count, const HistoryVisitor& onEntry) {
    std::uint64_t entries = 0;
    {
        ClosesOnExit closes(file);
        const Expected<std::uint64_t> length = openHistory(file, history);
        if (!length) return Unexpected(length.error());
        entries = *length / HistoryEntry::kSize;
    }
    return readHistory(file, history, onEntry, entries > count ? entries - count + 1 : 1);
}

}  // namespace gaisan
