#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/FilePlaces.h"
#include "platform/Calendar.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// How many daily copies of the results file are kept: two weeks of school days and more.
inline constexpr std::size_t kKeptBackups = 14;

/// Copies the first `length` bytes of the open results file into today's backup, unless there
/// is one already or nothing to copy, and then removes all but the newest kKeptBackups copies. Run
/// by the append with the append lock held, so the copy never holds half a record of another
/// machine. The copy is written whole or not at all; the backup folder and the copy, when new, are
/// shared like the folder they are made in (shareLikeItsFolder), so that every user who records
/// gets copies and removes old ones. A failure, naming the file, is for the caller to pass on: a
/// failed backup must never stop a run from being recorded.
Expected<void> takeDailyBackup(RecordFile& file, std::uint64_t length,
                               const std::filesystem::path& resultsFile, const CivilDate& today);

/// takeDailyBackup for the change history beside `resultsFile`, which the same lock guards:
/// opened for reading here; a history that is not there has nothing to copy. A history whose
/// damage shows (visibleHistoryDamage) is not copied, and that is the problem returned: copying it
/// would hold the lock for as long as the damage is large, and would in two weeks have replaced
/// every sound copy with a damaged one.
Expected<void> takeDailyBackupOfHistory(const std::filesystem::path& resultsFile,
                                        const CivilDate& today);

/// Copies the first `length` bytes of `file`, open on `source`, to `copy`, whole or not at all
/// (AtomicFileWriter). A failure names the file it went wrong with.
Expected<void> copyOpenFile(RecordFile& file, const std::filesystem::path& source,
                            std::uint64_t length, const std::filesystem::path& copy);

/// The backups of `resultsFile`, newest first.
std::vector<std::filesystem::path> backupsOf(const std::filesystem::path& resultsFile);

}  // namespace gaisan
