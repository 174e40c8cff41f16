#include "records/RecordStream.h"

#include <span>
#include <vector>

#include "platform/DataFileError.h"
#include "platform/PosixRecordFile.h"

namespace gaisan {

RecordStreamEnd forEachRecord(const std::filesystem::path& file,
                              const std::function<void(std::uint64_t, const ResultRecord&)>& onRecord) {
    PosixRecordFile recordFile;
    RecordStreamEnd end;
    const auto unusable = [&](const FileError& error) { return DataFileError(file, error.description); };
    if (auto error = recordFile.openForReading(file)) throw unusable(*error);
    if (auto error = recordFile.length(end.bytesSeen)) throw unusable(*error);
    constexpr std::size_t kRecordsPerRead = 4096;
    std::vector<std::byte> buffer(kRecordsPerRead * ResultRecord::kSize);
    const std::uint64_t wholeRecords = end.bytesSeen / ResultRecord::kSize;
    std::uint64_t number = 1;
    while (number <= wholeRecords) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(kRecordsPerRead, wholeRecords - number + 1));
        std::size_t bytesRead = 0;
        if (auto error = recordFile.readAt((number - 1) * ResultRecord::kSize,
                                           std::span(buffer.data(), wanted * ResultRecord::kSize),
                                           bytesRead)) {
            throw unusable(*error);
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        if (whole == 0) break;  // cut back meanwhile
        for (std::size_t i = 0; i < whole; ++i, ++number) {
            onRecord(number, decodeRecord(std::span<const std::byte, ResultRecord::kSize>(
                                 buffer.data() + i * ResultRecord::kSize, ResultRecord::kSize)));
        }
    }
    end.wholeRecords = number - 1;
    end.partialBytes = end.bytesSeen - wholeRecords * ResultRecord::kSize;
    return end;
}

}  // namespace gaisan
