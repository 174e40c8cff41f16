#include "stores/results/RecordReader.h"

#include <algorithm>
#include <vector>

#include "platform/ClosesOnExit.h"

namespace gaisan {
namespace {

/// Records per read: large enough that a million records take a few hundred reads, small enough
/// that the buffer stays at 180 kB.
constexpr std::uint64_t kRecordsPerBlock = 4096;

Expected<void> openAsPolicyHas(RecordFile& file, const std::filesystem::path& path,
                               WhenMissing missing, bool& isMissing) {
    isMissing = false;
    Expected<void> opened = file.openForReading(path);
    if (opened || opened.error().error.kind != FileErrorKind::NotFound) return opened;
    switch (missing) {
        case WhenMissing::IsEmpty:
            isMissing = true;
            return {};
        case WhenMissing::IsCreated:
            if (auto created = file.open(path); !created) return created;
            file.close();
            return file.openForReading(path);
        case WhenMissing::IsAnError:
            return opened;
    }
    return opened;
}

/// `outcome`'s value kept in `into`, for a step that only tells whether it worked.
template <class T>
Expected<void> keptIn(Expected<T> outcome, T& into) {
    if (!outcome) return Unexpected(std::move(outcome).error());
    into = *outcome;
    return {};
}

std::uint64_t firstOf(const RecordSelection& selection, std::uint64_t wholeRecords) {
    switch (selection.kind) {
        case RecordSelection::Kind::All:
            return 1;
        case RecordSelection::Kind::Newest:
            return wholeRecords > selection.count ? wholeRecords - selection.count + 1 : 1;
        case RecordSelection::Kind::From:
            return std::max<std::uint64_t>(selection.first, 1);
    }
    return 1;
}

}  // namespace

Expected<void> runOnce(const ReadStepAction& step) { return step(); }

Expected<void> readRecords(RecordFile& file, const std::filesystem::path& path,
                           const RecordReadPolicy& policy, const RecordBlockHandler& onBlock,
                           RecordReadEnd* end) {
    RecordReadEnd ignored;
    RecordReadEnd& at = end ? *end : ignored;
    at = {};
    ClosesOnExit closes(file);
    bool isMissing = false;
    if (auto opened =
            policy.step([&] { return openAsPolicyHas(file, path, policy.missing, isMissing); });
        !opened) {
        return opened;
    }
    if (isMissing) return {};
    at.stage = RecordReadEnd::Stage::AskingLength;
    if (auto measured = policy.step([&] { return keptIn(file.length(), at.bytesSeen); });
        !measured) {
        return measured;
    }
    at.wholeRecords = at.bytesSeen / ResultRecord::kSize;
    at.partialBytes = at.bytesSeen - at.wholeRecords * ResultRecord::kSize;

    at.stage = RecordReadEnd::Stage::Reading;
    std::vector<std::byte> buffer;
    for (std::uint64_t next = firstOf(policy.records, at.wholeRecords); next <= at.wholeRecords;) {
        const std::uint64_t wanted = std::min(kRecordsPerBlock, at.wholeRecords - next + 1);
        buffer.resize(wanted * ResultRecord::kSize);
        std::size_t bytesRead = 0;
        if (auto read = policy.step([&] {
                return keptIn(file.readAt((next - 1) * ResultRecord::kSize, buffer), bytesRead);
            });
            !read) {
            return read;
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        if (whole == 0) break;  // cut back meanwhile
        const RecordBlock block{next, at.wholeRecords,
                                std::span(buffer).first(whole * ResultRecord::kSize)};
        next += whole;
        at.recordsRead += whole;
        if (!onBlock(block)) {
            at.stopped = true;
            break;
        }
    }
    return {};
}

}  // namespace gaisan
