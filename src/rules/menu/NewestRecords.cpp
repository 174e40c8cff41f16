#include "rules/menu/NewestRecords.h"

#include "stores/results/RecordReader.h"

namespace gaisan {

std::optional<FileError> readNewestRecords(
    RecordFile& file, const std::filesystem::path& path, std::uint64_t window,
    const RecordReadEvents& events, const std::function<void(const LoadedRecord&)>& onRecord) {
    RecordReadPolicy policy{RecordSelection::newest(window), WhenMissing::IsCreated};
    // Every step is tried again for as long as another machine holds the file.
    policy.step = [&](const std::function<std::optional<FileError>()>& step) {
        for (;;) {
            std::optional<FileError> error = step();
            if (!error || (error->kind != FileErrorKind::Locked &&
                           error->kind != FileErrorKind::AlreadyOpen)) {
                return error;
            }
            if (events.busy) events.busy(*error);
        }
    };
    return readRecords(file, path, policy, [&](const RecordBlock& block) {
        if (events.progress) events.progress(block.first, block.wholeRecords);
        for (std::size_t i = 0; i < block.count(); ++i) onRecord(decodeRunFields(block.record(i)));
        return true;
    });
}

}  // namespace gaisan
