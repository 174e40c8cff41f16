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

/// What putting a deleted record back writes beside the results file before it moves any record,
/// so that a put-back cut short by a crash or a power cut can be finished by whoever next takes
/// the append lock: the journal of a delete, the other way round.
///
/// Putting a record back as record N of a file of R whole records moves records N..R up by one
/// (the file grows by one record) and writes the record at N. The journal holds N, R, the record
/// and the records N..R as they were, then a checksum over all of it: with the old records at
/// hand the moves can simply be written again, whatever part of them reached the disk. It is
/// synced and renamed into place whole before the first move, so one that fails its checksum was
/// never complete, and nothing was moved.
///
/// Layout, little-endian: "GSNINS01", N (u64), R (u64), the record put back (44 bytes), the
/// records N..R (44 bytes each; none when N is R+1), and a 64-bit FNV-1a checksum of everything
/// before it.
///
/// Its name is not the delete journal's, which an older version sets aside as someone else's
/// file when it does not read as a delete's; an older version leaves this one alone.
struct InsertJournal {
    std::uint64_t recordNumber = 0;     ///< N, where the record goes, from 1
    std::uint64_t recordsBefore = 0;    ///< R, the whole records before the put-back
    RecordBytes record{};               ///< the record put back
    std::vector<std::byte> oldRecords;  ///< records N..R as they were

    /// Record n (N..R) as it was before the put-back.
    std::span<const std::byte, ResultRecord::kSize> oldRecord(std::uint64_t n) const;
    /// Record n (N..R+1) as the put-back leaves it.
    std::span<const std::byte, ResultRecord::kSize> finalRecord(std::uint64_t n) const;

    std::vector<std::byte> encode() const;
    /// The journal in `bytes`, or nothing when they are not a whole, intact journal.
    static std::optional<InsertJournal> decode(std::span<const std::byte> bytes);
};

}  // namespace gaisan
