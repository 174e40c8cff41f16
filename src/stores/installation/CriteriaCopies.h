#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/CriteriaTable.h"
#include "base/FilePlaces.h"
#include "platform/Clock.h"
#include "platform/Expected.h"

namespace gaisan {

/// How many copies of replaced criteria files are kept.
inline constexpr std::size_t kKeptCriteriaCopies = 10;

/// A kept copy of the criteria file.
struct CriteriaCopy {
    std::filesystem::path file;
    LocalDateTime madeAt;  ///< when a save replaced it, to the second, from its name
    int sequence = 1;      ///< its place among the copies made in that second
};

/// The copies of `criteriaFile`, newest first; files of other names in the folder are not copies.
std::vector<CriteriaCopy> criteriaCopiesOf(const std::filesystem::path& criteriaFile);

/// How the editor lists a copy: "2026年12月10日 14:05 まで使っていた設定". A copy is made when a
/// save replaces the file, so its time is when those criteria stopped being in force.
std::string criteriaCopyCaption(const CriteriaCopy& copy);

/// What a save does when the file it replaces cannot be copied.
enum class WithoutCopy {
    KeepOldFile,  ///< saves nothing: the old file stays, the caller still has the new criteria
    SaveAnyway,   ///< saves, and the old file is gone
};

/// What a save did that did not fail: it replaced the file, or it kept the old file as asked
/// because no copy of it could be made; either way, what went wrong with the copies.
struct CriteriaSaveOutcome {
    /// Whether the file was replaced: always, unless its copy failed and WithoutCopy said to keep
    /// it then.
    bool saved = false;
    /// The copy of the replaced file that could not be made, or old copies that could not be
    /// removed; for the teacher to be told.
    std::optional<Failure> copyProblem;
};

/// Saves `lines` as writeCriteriaFile does, first keeping the file it replaces, byte for byte, as
/// the newest copy, and afterwards removing all but the newest kKeptCriteriaCopies. The copy is
/// made at a name nobody else has taken (a second save in the same second, on this machine or
/// another, gets the next sequence), written whole or not at all, and shared like its folder, as
/// is the folder when new. Fails as writeCriteriaFile does, leaving the file and the copies as
/// they were.
Expected<CriteriaSaveOutcome> saveCriteriaKeepingCopy(const std::filesystem::path& file,
                                                      const std::vector<CriteriaLine>& lines,
                                                      int requiredLevels, const LocalDateTime& now,
                                                      WithoutCopy withoutCopy);

/// Brings `copy` back as the criteria file, byte for byte: a save like saveCriteriaKeepingCopy,
/// so the file it replaces becomes the newest copy in turn. Fails naming the copy, changing
/// nothing, when the copy cannot be read or holds criteria that checkCriteriaLines refuses; and
/// as writeCriteriaFile does when the save fails.
Expected<CriteriaSaveOutcome> restoreCriteriaCopy(const std::filesystem::path& file,
                                                  const std::filesystem::path& copy,
                                                  int requiredLevels, const LocalDateTime& now,
                                                  WithoutCopy withoutCopy);

}  // namespace gaisan
