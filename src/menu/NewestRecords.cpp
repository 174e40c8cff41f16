#include "menu/NewestRecords.h"

#include <algorithm>
#include <span>
#include <vector>

#include "platform/ClosesOnExit.h"
#include "records/ResultRecord.h"

namespace gaisan {

std::optional<FileError> readNewestRecords(RecordFile& file, const std::filesystem::path& path,
                                           std::uint64_t window, const RecordReadEvents& events,
                                           const std::function<void(const LoadedRecord&)>& onRecord) {
    constexpr std::size_t kRecordsPerRead = 1024;
    ClosesOnExit closes(file);
    // Every step is tried again for as long as another machine holds the file.
    const auto step = [&](const auto& operation) -> std::optional<FileError> {
        for (;;) {
            std::optional<FileError> error = operation();
            if (!error || (error->kind != FileErrorKind::Locked &&
                           error->kind != FileErrorKind::AlreadyOpen)) {
                return error;
            }
            if (events.busy) events.busy(*error);
        }
    };

    if (auto error = step([&] { return file.open(path); })) return error;
    std::uint64_t length = 0;
    if (auto error = step([&] { return file.length(length); })) return error;
    const std::uint64_t wholeRecords = length / ResultRecord::kSize;

    std::vector<std::byte> buffer(kRecordsPerRead * ResultRecord::kSize);
    for (std::uint64_t next = wholeRecords > window ? wholeRecords - window + 1 : 1; next <= wholeRecords;) {
        if (events.progress) events.progress(next, wholeRecords);
        const std::size_t wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(kRecordsPerRead, wholeRecords - next + 1));
        const std::span<std::byte> into(buffer.data(), wanted * ResultRecord::kSize);
        std::size_t bytesRead = 0;
        if (auto error = step(
                [&] { return file.readAt((next - 1) * ResultRecord::kSize, into, bytesRead); })) {
            return error;
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        // Shorter than it was: cut back by the records browser meanwhile.
        if (whole == 0) break;
        for (std::size_t i = 0; i < whole; ++i, ++next) {
            onRecord(decodeRunFields(std::span<const std::byte, ResultRecord::kSize>(
                buffer.data() + i * ResultRecord::kSize, ResultRecord::kSize)));
        }
    }
    return std::nullopt;
}

}  // namespace gaisan
