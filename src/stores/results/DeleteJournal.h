#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "base/FilePlaces.h"
#include "base/ResultRecord.h"

namespace gaisan {

/// What a delete writes beside the results file before it moves any record, so that a delete cut
/// short by a crash or a power cut can be finished by whoever next takes the append lock.
///
/// A delete of record N from a file of R whole records moves records N+1..R down by one and cuts
/// the last one off. The journal holds N, R and the records N..R as they were (the deleted one
/// first), then a checksum over all of it: with the old records at hand the moves can simply be
/// written again, whatever part of them reached the disk. The journal is synced and renamed into
/// place whole before the first move, so a journal under its name is complete; one that fails
/// its checksum anyway (a damaged disk, or one cut short by an older version that wrote it in
/// place) was never complete, which shows that nothing was moved.
///
/// Layout, little-endian: "GSNDEL01", N (u64), R (u64), the records N..R (44 bytes each), and a
/// 64-bit FNV-1a checksum of everything before it.
struct DeleteJournal {
    std::uint64_t recordNumber = 0;     ///< N, the deleted record, from 1
    std::uint64_t recordsBefore = 0;    ///< R, the whole records before the delete
    std::vector<std::byte> oldRecords;  ///< records N..R as they were

    /// Record n (N..R) as it was before the delete.
    std::span<const std::byte, ResultRecord::kSize> oldRecord(std::uint64_t n) const;

    std::vector<std::byte> encode() const;
    /// Whether `bytes` begin as a journal does, or are the start of a journal's first bytes (an
    /// empty file included: a journal cut short right after its creation); a file by the
    /// journal's name that does neither is someone else's.
    static bool looksLikeJournal(std::span<const std::byte> bytes);
    /// The journal in `bytes`, or nothing when they are not a whole, intact journal.
    static std::optional<DeleteJournal> decode(std::span<const std::byte> bytes);
};

}  // namespace gaisan
