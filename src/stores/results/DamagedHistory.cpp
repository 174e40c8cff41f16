#include "stores/results/DamagedHistory.h"

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/AtomicFileWriter.h"
#include "platform/ClosesOnExit.h"
#include "stores/results/ChangeHistory.h"

namespace gaisan {
namespace {

/// Entries read at a time: a history of any size costs only time.
constexpr std::size_t kEntriesPerPiece = 4096;
/// Zeros are kept as holes in blocks of this size, the usual block of a file system.
constexpr std::size_t kHoleBlock = 4096;

/// Writes `bytes` to `writer`, each block of zeros as a hole.
void writeWithHoles(AtomicFileWriter& writer, std::span<const std::byte> bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += kHoleBlock) {
        const std::span<const std::byte> block =
            bytes.subspan(at, std::min(kHoleBlock, bytes.size() - at));
        if (std::all_of(block.begin(), block.end(), [](std::byte b) { return b == std::byte{}; })) {
            writer.writeZeros(block.size());
        } else {
            writer.write(block);
        }
    }
}

/// The damaged entries met so far, as runs of consecutive numbers, and so the number an earlier
/// entry takes once they are left out.
class Renumbering {
public:
    void addDamaged(std::uint64_t number) {
        if (!m_runs.empty() && m_runs.back().last + 1 == number) {
            ++m_runs.back().last;
        } else {
            m_runs.push_back({number, number, m_damaged});
        }
        ++m_damaged;
    }

    std::uint64_t damaged() const { return m_damaged; }

    /// The new number of entry `number`, met already; 0 for a damaged one.
    std::uint64_t newNumberOf(std::uint64_t number) const {
        const auto after =
            std::upper_bound(m_runs.begin(), m_runs.end(), number,
                             [](std::uint64_t n, const Run& run) { return n < run.first; });
        if (after == m_runs.begin()) return number;
        const Run& run = *(after - 1);
        if (number <= run.last) return 0;
        return number - (run.damagedBefore + run.last - run.first + 1);
    }

private:
    struct Run {
        std::uint64_t first;
        std::uint64_t last;
        std::uint64_t damagedBefore;  ///< damaged entries before `first`
    };
    std::vector<Run> m_runs;
    std::uint64_t m_damaged = 0;
};

/// Reads the first `length` bytes of the open `file` piece by piece, handing each piece to
/// `onPiece`: a history of any size costs only time. A short read ends it, at the end, which
/// nobody moves while the lock is held.
Expected<void> forEachPiece(RecordFile& file, std::uint64_t length,
                            const std::function<void(std::span<const std::byte> read)>& onPiece) {
    std::vector<std::byte> piece(kEntriesPerPiece * HistoryEntry::kSize);
    for (std::uint64_t at = 0; at < length;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), length - at));
        const Expected<std::size_t> bytesRead = file.readAt(at, std::span(piece).first(wanted));
        if (!bytesRead) return Unexpected(bytesRead.error());
        if (*bytesRead == 0) break;
        onPiece(std::span<const std::byte>(piece).first(*bytesRead));
        at += *bytesRead;
        if (*bytesRead < wanted) break;
    }
    return {};
}

}  // namespace

std::optional<std::filesystem::path> historySetAsideFileOf(
    const std::filesystem::path& resultsFile) {
    const std::filesystem::path folder = historyFileOf(resultsFile).parent_path();
    for (int attempt = 1; attempt <= 99; ++attempt) {
        const std::filesystem::path candidate =
            folder /
            ("成績変更履歴-直す前" + (attempt == 1 ? "" : std::to_string(attempt)) + ".dat");
        // A name that cannot be looked at is as good as free: writing it says what is wrong.
        std::error_code unknown;
        if (!std::filesystem::exists(candidate, unknown)) return candidate;
    }
    return std::nullopt;
}

Expected<void> setAsideDamagedHistory(RecordFile& file, const std::filesystem::path& resultsFile,
                                      bool mayRenumber, HistoryMend& mend) {
    mend = {};
    const std::filesystem::path history = historyFileOf(resultsFile);
    std::error_code missing;
    if (!std::filesystem::exists(history, missing)) return {};
    ClosesOnExit closes(file);
    if (auto opened = file.openForReading(history); !opened) return opened;
    const Expected<std::uint64_t> measured = file.length();
    if (!measured) return Unexpected(measured.error());
    const std::uint64_t length = *measured;

    // A first pass only reads: a sound history, or one that may not be renumbered now, costs no
    // copy while every machine's append waits for the lock.
    std::uint64_t damaged = 0;
    Expected<void> read = forEachPiece(file, length, [&](std::span<const std::byte> read) {
        const std::size_t whole = read.size() / HistoryEntry::kSize;
        for (std::size_t i = 0; i < whole; ++i) {
            if (!decodeHistoryEntry(
                    read.subspan(i * HistoryEntry::kSize).first<HistoryEntry::kSize>())) {
                ++damaged;
            } else {
                ++mend.wholeEntries;
                if (damaged != 0) mend.renumbers = true;
            }
        }
        mend.partialBytes = read.size() - whole * HistoryEntry::kSize;
    });
    if (!read) return read;
    mend.damagedEntries = damaged;
    if (mend.damagedEntries == 0 && mend.partialBytes == 0) return {};
    if (mend.renumbers && !mayRenumber) return {};

    const std::optional<std::filesystem::path> setAside = historySetAsideFileOf(resultsFile);
    if (!setAside) {
        return Unexpected(fileFailure(
            history,
            FileError{FileErrorKind::Other, 58, 0,
                      "直す前の変更履歴を残す名前が、99番まで使われていて空いていません"}));
    }
    AtomicFileWriter kept(*setAside);
    AtomicFileWriter mended(history);
    Renumbering renumbering;
    std::uint64_t number = 0;
    read = forEachPiece(file, length, [&](std::span<const std::byte> read) {
        writeWithHoles(kept, read);
        const std::size_t whole = read.size() / HistoryEntry::kSize;
        for (std::size_t i = 0; i < whole; ++i) {
            ++number;
            const auto bytes = read.subspan(i * HistoryEntry::kSize).first<HistoryEntry::kSize>();
            std::optional<HistoryEntry> entry = decodeHistoryEntry(bytes);
            if (!entry) {
                renumbering.addDamaged(number);
                continue;
            }
            // An undo names an earlier entry; a number that is not one is kept as it is.
            if (entry->undoes != 0 && entry->undoes < number &&
                renumbering.newNumberOf(entry->undoes) != entry->undoes) {
                entry->undoes = renumbering.newNumberOf(entry->undoes);
                mended.write(encodeHistoryEntry(*entry));
            } else {
                mended.write(bytes);
            }
        }
    });
    if (!read) return read;
    const auto unwritten = [](const Failure& failure) {
        return Unexpected(Failure{failure.file, failure.problem,
                                  FileError{FileErrorKind::Other, 75, 0, failure.problem}});
    };
    // The history as it was is kept before it is replaced: a crash in between leaves both.
    if (const Expected<void> keptWhole = kept.commit(); !keptWhole) {
        return unwritten(keptWhole.error());
    }
    mend.setAsideAs = *setAside;
    if (const Expected<void> mendedWhole = mended.commit(); !mendedWhole) {
        return unwritten(mendedWhole.error());
    }
    return {};
}

}  // namespace gaisan
