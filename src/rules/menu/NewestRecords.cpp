#include "rules/menu/NewestRecords.h"

#include "stores/results/RecordReader.h"

namespace gaisan {

Expected<void> readNewestRecords(RecordFile& file, const std::filesystem::path& path,
                                 std::uint64_t window, const RecordReadEvents& events,
                                 const std::function<void(const LoadedRecord&)>& onRecord) {
    RecordReadPolicy policy{RecordSelection::newest(window), WhenMissing::IsCreated};
    // Every step is tried again for as long as another machine holds the file.
    policy.step = [&](const ReadStepAction& step) {
        for (;;) {
            Expected<void> done = step();
            if (done) return done;
            const FileError& error = done.error().error;
            if (error.kind != FileErrorKind::Locked && error.kind != FileErrorKind::AlreadyOpen) {
                return done;
            }
            if (events.busy) events.busy(error);
        }
    };
    return readRecords(file, path, policy, [&](const RecordBlock& block) {
        if (events.progress) events.progress(block.first, block.wholeRecords);
        for (std::size_t i = 0; i < block.count(); ++i) onRecord(decodeRunFields(block.record(i)));
        return true;
    });
}

}  // namespace gaisan
