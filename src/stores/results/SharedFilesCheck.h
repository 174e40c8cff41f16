#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Calendar.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// What keeps the users of a classroom from sharing the results file beside `resultsFile`'s
/// path, or from getting its daily copies, as sentences that each begin with the file or folder
/// they are about; empty when nothing was found. For `gaisan-records check` and the teacher's
/// maintenance panel: an append passes over a failed copy, so that a run is always recorded, and
/// this is where the failure is told.
/// - The results file, a delete's journal or the backup folder that not everybody who may write
///   its folder may write (sharingProblemOf): another user cannot record, or gets no copies.
/// - A backup folder that this user, who may record, may not write; or, while there is none, a
///   data folder in which this user may not make it.
/// - A file in the backup folder's place.
/// - More copies than are kept: the old ones cannot be removed.
/// - Records of `today` in a file that held older ones, and no copy of `today`: the first
///   append of the day found a file to copy, and the copy failed.
std::vector<std::string> sharedFileProblemsOf(RecordFile& file,
                                              const std::filesystem::path& resultsFile,
                                              const CivilDate& today);

}  // namespace gaisan
