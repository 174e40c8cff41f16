#include "stores/results/RecordMoves.h"

#include <algorithm>
#include <cstring>

namespace gaisan {

Expected<void> readRecordsAt(RecordFile& file, std::uint64_t first, std::uint64_t count,
                             std::vector<std::byte>& into) {
    into.resize(count * ResultRecord::kSize);
    const Expected<std::size_t> bytesRead = file.readAt((first - 1) * ResultRecord::kSize, into);
    if (!bytesRead) return Unexpected(bytesRead.error());
    into.resize(*bytesRead / ResultRecord::kSize * ResultRecord::kSize);
    return {};
}

Expected<void> writeRecordsAt(RecordFile& file, std::uint64_t first,
                              std::span<const std::byte> records) {
    const std::size_t pieceBytes = kRecordsPerPiece * ResultRecord::kSize;
    for (std::size_t at = 0; at < records.size(); at += pieceBytes) {
        const std::size_t size = std::min(pieceBytes, records.size() - at);
        if (auto written = file.writeDurably((first - 1) * ResultRecord::kSize + at,
                                             records.subspan(at, size));
            !written) {
            return written;
        }
    }
    return {};
}

bool eachByteOneOf(const std::byte* now, const std::byte* one, const std::byte* other) {
    for (std::size_t i = 0; i < ResultRecord::kSize; ++i) {
        if (now[i] != one[i] && now[i] != other[i]) return false;
    }
    return true;
}

Expected<void> compareWithChange(RecordFile& file, std::uint64_t first, std::uint64_t last,
                                 const JournalRecord& before, const JournalRecord& after,
                                 MoveComparison& comparison) {
    std::vector<std::byte> piece;
    for (std::uint64_t start = first; start <= last; start += kRecordsPerPiece) {
        const std::uint64_t count = std::min(kRecordsPerPiece, last - start + 1);
        if (auto read = readRecordsAt(file, start, count, piece); !read) return read;
        if (piece.size() != count * ResultRecord::kSize) {
            comparison = {false, false};
            return {};
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
    return {};
}

}  // namespace gaisan
