#include "stores/results/RecordStream.h"

#include "platform/PosixRecordFile.h"

namespace gaisan {

Expected<RecordReadEnd> forEachRecord(
    const std::filesystem::path& file,
    const std::function<void(std::uint64_t, const ResultRecord&)>& onRecord) {
    PosixRecordFile recordFile;
    RecordReadEnd end;
    const RecordReadPolicy policy{RecordSelection::all(), WhenMissing::IsAnError};
    const Expected<void> read = readRecords(
        recordFile, file, policy,
        [&](const RecordBlock& block) {
            for (std::size_t i = 0; i < block.count(); ++i) {
                onRecord(block.first + i, decodeRecord(block.record(i)));
            }
            return true;
        },
        &end);
    if (!read) return Unexpected(Failure{file, read.error().problem, read.error().error});
    return end;
}

}  // namespace gaisan
