// The files of a teacher's change as their readers meet them, on any bytes. The first byte chooses
// the file, the rest is its content:
//   0  the change history: read in runs of whole and damaged entries, and its damage looked at
//      without reading it through;
//   1  the pending change, 2 a delete's journal, 3 a put-back's journal: each decoded, then
//      finished by the next writer against a results file of five runs and a history of two
//      changes.
// Whatever the bytes, nothing is read out of bounds, a journal that decodes encodes to the same
// bytes, and a writer that finishes without an error leaves no journal or pending change behind
// and a file of whole records no more than one shorter or longer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "FuzzFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/InterruptedChange.h"

namespace {

using namespace gaisan;

constexpr std::uint64_t kRuns = 5;

/// Run n (1 to 5) of the results file, as the seed corpus writes it.
RecordBytes runOf(std::uint64_t n) {
    ResultRecord record;
    record.RecordDate = 46366;
    record.RecordClock = static_cast<double>(n) / 10;
    record.StudentIndex = static_cast<std::int16_t>(n);
    record.LevelIndex = 1;
    record.ResultSeconds = static_cast<std::int32_t>(10 * n);
    record.SchoolCode = record.ExtraField = record.PointsField = "     ";
    return encodeRecord(record);
}

void writeFile(const std::filesystem::path& file, std::span<const std::byte> bytes) {
    fuzzing::inputAsFile(file.filename().string(),
                         reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

void readHistoryFile(const std::filesystem::path& history, std::size_t size) {
    PosixRecordFile file;
    std::uint64_t told = 0;
    const Expected<void> read = readHistoryInRuns(
        file, history,
        [&](std::uint64_t number, const HistoryEntry& entry) {
            if (number != told + 1) __builtin_trap();
            told = number;
            // A whole entry encodes to bytes that read back as the same entry.
            if (decodeHistoryEntry(encodeHistoryEntry(entry)) != entry) __builtin_trap();
        },
        [&](std::uint64_t first, std::uint64_t last) {
            if (first != told + 1 || last < first) __builtin_trap();
            told = last;
        });
    if (!read || told != size / HistoryEntry::kSize) __builtin_trap();
    if (!file.openForReading(history)) __builtin_trap();
    static_cast<void>(visibleHistoryDamage(file, size));
    file.close();
}

template <typename Journal>
void decodeJournal(std::span<const std::byte> bytes) {
    const std::optional<Journal> journal = Journal::decode(bytes);
    if (!journal) return;
    const std::vector<std::byte> encoded = journal->encode();
    if (!std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end())) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::byte> content(reinterpret_cast<const std::byte*>(data + 1),
                                             size - 1);
    // Each input starts from the same folder: a journal set aside before must not fill it.
    const std::filesystem::path& folder = fuzzing::scratchFolder();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::filesystem::remove_all(entry.path());
    }
    const std::filesystem::path results = folder / "成績累積データ.dat";
    if (data[0] % 4 == 0) {
        writeFile(historyFileOf(results), content);
        readHistoryFile(historyFileOf(results), content.size());
        return 0;
    }

    std::vector<std::byte> records;
    for (std::uint64_t n = 1; n <= kRuns; ++n) {
        const RecordBytes run = runOf(n);
        records.insert(records.end(), run.begin(), run.end());
    }
    writeFile(results, records);
    // The newest change puts run 9 back as record 2: the change a put-back's journal left alone
    // belongs to.
    HistoryEntry writeBack;
    writeBack.kind = HistoryEntry::Kind::WriteBack;
    writeBack.recordNumber = 1;
    writeBack.recordsBefore = kRuns;
    writeBack.before = writeBack.after = runOf(1);
    HistoryEntry putBack;
    putBack.kind = HistoryEntry::Kind::PutBack;
    putBack.recordNumber = 2;
    putBack.recordsBefore = kRuns;
    putBack.after = runOf(9);
    std::vector<std::byte> history;
    for (const HistoryEntry& entry : {writeBack, putBack}) {
        const HistoryBytes bytes = encodeHistoryEntry(entry);
        history.insert(history.end(), bytes.begin(), bytes.end());
    }
    writeFile(historyFileOf(results), history);
    switch (data[0] % 4) {
        case 1:
            writeFile(pendingChangeFileOf(results), content);
            if (content.size() == HistoryEntry::kSize) {
                static_cast<void>(decodeHistoryEntry(content.first<HistoryEntry::kSize>()));
            }
            break;
        case 2:
            writeFile(deleteJournalPathOf(results), content);
            decodeJournal<DeleteJournal>(content);
            break;
        default:
            writeFile(insertJournalPathOf(results), content);
            decodeJournal<InsertJournal>(content);
            break;
    }

    PosixRecordFile file;
    if (!file.open(results) || !file.lockForAppend()) __builtin_trap();
    InterruptedMove found;
    const Expected<void> finished = recoverInterruptedChange(file, results, found);
    file.close();
    if (!finished) return 0;
    if (std::filesystem::exists(deleteJournalPathOf(results)) ||
        std::filesystem::exists(insertJournalPathOf(results)) ||
        std::filesystem::exists(pendingChangeFileOf(results))) {
        __builtin_trap();
    }
    const std::uintmax_t length = std::filesystem::file_size(results);
    if (length % ResultRecord::kSize != 0 || length < (kRuns - 1) * ResultRecord::kSize ||
        length > (kRuns + 1) * ResultRecord::kSize) {
        __builtin_trap();
    }
    return 0;
}
