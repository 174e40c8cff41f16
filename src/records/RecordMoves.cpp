#include "records/RecordMoves.h"

#include <algorithm>

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

}  // namespace gaisan
