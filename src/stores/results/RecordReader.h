#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "base/ResultRecord.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// Which records of the results file a read hands over, by record number (from 1).
struct RecordSelection {
    enum class Kind { All, Newest, From };
    Kind kind = Kind::All;
    std::uint64_t count = 0;  ///< Newest: how many of the newest
    std::uint64_t first = 1;  ///< From: the first record handed over

    static RecordSelection all() { return {}; }
    static RecordSelection newest(std::uint64_t count) { return {Kind::Newest, count, 1}; }
    static RecordSelection from(std::uint64_t first) { return {Kind::From, 0, first}; }
};

/// What a results file that is not there means to a read.
enum class WhenMissing {
    /// No records yet: a new share, or one whose file a technician removed.
    IsEmpty,
    /// Created empty first, as the first append would: a share the machine cannot write is then
    /// told at once, not after a child's run. A missing folder is still an error.
    IsCreated,
    /// An error: the file was named by someone who expects it to be there.
    IsAnError,
};

/// One step of a read: opening the file, asking its length, or reading one block.
using ReadStepAction = std::function<Expected<void>()>;

/// Runs one step of a read and returns how it ended. A busy file, held or open on another
/// machine, is waited out here or returned as the failure.
using ReadStep = std::function<Expected<void>(const ReadStepAction& step)>;

/// Runs a step once: a busy file fails the read.
Expected<void> runOnce(const ReadStepAction& step);

struct RecordReadPolicy {
    RecordSelection records;
    WhenMissing missing = WhenMissing::IsEmpty;
    ReadStep step = runOnce;
};

/// Whole records as read: the number of the first, and their bytes.
struct RecordBlock {
    std::uint64_t first = 0;
    std::uint64_t wholeRecords = 0;  ///< whole records in the file when the read began
    std::span<const std::byte> bytes;

    std::size_t count() const { return bytes.size() / ResultRecord::kSize; }
    std::span<const std::byte, ResultRecord::kSize> record(std::size_t i) const {
        return std::span<const std::byte, ResultRecord::kSize>(
            bytes.data() + i * ResultRecord::kSize, ResultRecord::kSize);
    }
};

/// Where a read stood when it ended.
struct RecordReadEnd {
    enum class Stage { Opening, AskingLength, Reading };
    Stage stage = Stage::Opening;    ///< the step an error came from
    std::uint64_t bytesSeen = 0;     ///< the file's length when the read began
    std::uint64_t wholeRecords = 0;  ///< the whole records in that length
    std::uint64_t partialBytes = 0;  ///< of a partial record after them, left by a crash
    std::uint64_t recordsRead = 0;   ///< handed over
    bool stopped = false;            ///< the handler asked to stop
};

/// Handed each block of records in file order; returns false to stop the read.
using RecordBlockHandler = std::function<bool(const RecordBlock& block)>;

/// The one way the results file is read. Reads without a lock, as every reader does, through a
/// descriptor opened read-only for this read only (NFS then fetches what other machines appended
/// since), in blocks of a fixed size, so that a huge file costs only time:
/// - no further than the length seen at the start: a file that grows without end (a link to a
///   device, or a runaway writer) cannot hold the reader, and records appended meanwhile are read
///   by the next read;
/// - until the file ends early: cut back by a delete meanwhile, the read stops there;
/// - whole records only: a partial record after them, left by a crash, is counted, not read.
/// Returns the failure that ended the read; `end`, when given, says where it ended.
Expected<void> readRecords(RecordFile& file, const std::filesystem::path& path,
                           const RecordReadPolicy& policy, const RecordBlockHandler& onBlock,
                           RecordReadEnd* end = nullptr);

}  // namespace gaisan
