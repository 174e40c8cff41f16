#include "stores/results/RecordMoves.h"

#include <algorithm>
#include <cstring>

namespace gaisan {

std::optional<FileError> readRecordsAt(RecordFile& file, std::uint64_t first, std::uint64_t count,
                                       std::vector<std::byte>& into) {
    into.resize(count * ResultRecord::kSize);
    std::size_t bytesRead = 0;
    if (auto error = file.readAt((first - 1) * ResultRecord::kSize, into, bytesRead)) return error;
    into.resize(bytesRead / ResultRecord::kSize * ResultRecord::kSize);
    return std::nullopt;
}

std::optional<FileError> writeRecordsAt(RecordFile& file, std::uint64_t first,
                                        std::span<const std::byte> records) {
    const std::size_t pieceBytes = kRecordsPerPiece * ResultRecord::kSize;
    for (std::size_t at = 0; at < records.size(); at += pieceBytes) {
        const std::size_t size = std::min(pieceBytes, records.size() - at);
        if (auto error = file.writeDurably((first - 1) * ResultRecord::kSize + at,
                                           records.subspan(at, size))) {
            return error;
        }
    }
    return std::nullopt;
}

bool eachByteOneOf(const std::byte* now, const std::byte* one, const std::byte* other) {
    for (std::size_t i = 0; i < ResultRecord::kSize; ++i) {
        if (now[i] != one[i] && now[i] != other[i]) return false;
    }
    return true;
}

std::optional<FileError> compareWithChange(RecordFile& file, std::uint64_t first,
                                           std::uint64_t last, const JournalRecord& before,
                                           const JournalRecord& after, MoveComparison& comparison) {
    std::vector<std::byte> piece;
    for (std::uint64_t start = first; start <= last; start += kRecordsPerPiece) {
        const std::uint64_t count = std::min(kRecordsPerPiece, last - start + 1);
        if (auto error = readRecordsAt(file, start, count, piece)) return error;
        if (piece.size() != count * ResultRecord::kSize) {
            comparison = {false, false};
            return std::nullopt;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::byte* now = piece.data() + i * ResultRecord::kSize;
            const std::byte* done = after(start + i);
            if (std::memcmp(now, done, ResultRecord::kSize) == 0) continue;
            comparison.allAfter = false;
            comparison.beforeOrAfter =
                comparison.beforeOrAfter && eachByteOneOf(now, before(start + i), done);
        }
    }
    return std::nullopt;
}

}  // namespace gaisan
