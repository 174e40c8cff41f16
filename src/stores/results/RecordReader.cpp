#include "stores/results/RecordReader.h"

#include <algorithm>
#include <vector>

#include "platform/ClosesOnExit.h"

namespace gaisan {
namespace {

/// Records per read: large enough that a million records take a few hundred reads, small enough
/// that the buffer stays at 180 kB.
constexpr std::uint64_t kRecordsPerBlock = 4096;

std::optional<FileError> openAsPolicyHas(RecordFile& file, const std::filesystem::path& path,
                                         WhenMissing missing, bool& isMissing) {
    isMissing = false;
    std::optional<FileError> error = file.openForReading(path);
    if (!error || error->kind != FileErrorKind::NotFound) return error;
    switch (missing) {
        case WhenMissing::IsEmpty:
            isMissing = true;
            return std::nullopt;
        case WhenMissing::IsCreated:
            if (auto created = file.open(path)) return created;
            file.close();
            return file.openForReading(path);
        case WhenMissing::IsAnError:
            return error;
    }
    return error;
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

std::optional<FileError> runOnce(const std::function<std::optional<FileError>()>& step) {
    return step();
}

std::optional<FileError> readRecords(RecordFile& file, const std::filesystem::path& path,
                                     const RecordReadPolicy& policy,
                                     const RecordBlockHandler& onBlock, RecordReadEnd* end) {
    RecordReadEnd ignored;
    RecordReadEnd& at = end ? *end : ignored;
    at = {};
    ClosesOnExit closes(file);
    bool isMissing = false;
    if (auto error =
            policy.step([&] { return openAsPolicyHas(file, path, policy.missing, isMissing); })) {
        return error;
    }
    if (isMissing) return std::nullopt;
    at.stage = RecordReadEnd::Stage::AskingLength;
    if (auto error = policy.step([&] { return file.length(at.bytesSeen); })) return error;
    at.wholeRecords = at.bytesSeen / ResultRecord::kSize;
    at.partialBytes = at.bytesSeen - at.wholeRecords * ResultRecord::kSize;

    at.stage = RecordReadEnd::Stage::Reading;
    std::vector<std::byte> buffer;
    for (std::uint64_t next = firstOf(policy.records, at.wholeRecords); next <= at.wholeRecords;) {
        const std::uint64_t wanted = std::min(kRecordsPerBlock, at.wholeRecords - next + 1);
        buffer.resize(wanted * ResultRecord::kSize);
        std::size_t bytesRead = 0;
        if (auto error = policy.step(
                [&] { return file.readAt((next - 1) * ResultRecord::kSize, buffer, bytesRead); })) {
            return error;
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
    return std::nullopt;
}

}  // namespace gaisan
