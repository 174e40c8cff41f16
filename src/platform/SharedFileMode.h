#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Expected.h"

namespace gaisan {

/// The mode of a file (`isFolder` false) or folder the program creates in a folder whose mode is
/// `folderMode`. Whoever may write in a classroom's shared folder must be able to write what
/// another user created in it, whatever that user's umask was:
/// - in a folder writable by all, files are 0666 and folders 0777;
/// - in a folder writable by its group, files are 0664 and folders 0775, of the folder's group
///   (which shareLikeItsFolder sets);
/// - in any other folder, files keep the owner's usual 0644 and folders 0755.
/// A folder created in a setgid folder is setgid too, so that its files get the group as well.
/// The sticky bit is never passed on: in a sticky folder nobody could remove another user's old
/// backups.
mode_t sharedModeFor(mode_t folderMode, bool isFolder);

/// Gives `descriptor`, the file or folder `created` that the program has just made, the mode of
/// sharedModeFor for the folder it lies in and, when that folder is writable by its group alone,
/// the folder's group. Only for what the program created itself: an existing file keeps the mode
/// somebody chose for it. What cannot be set is left as it is (on a network drive whose server
/// decides the modes; a group the creator is not a member of, when the file loses its group
/// write instead, which would have gone to the creator's own group): the file is there and usable
/// by its creator, and sharingProblemOf names it.
void shareLikeItsFolder(int descriptor, const std::filesystem::path& created);

/// Gives `descriptor`, a file about to be renamed over `replaced`, the mode and, where its writer
/// may set it, the group of `replaced` (a teachers' group may write it); when there is no such
/// file, shares it like its folder with shareLikeItsFolder, so that the next user can replace it
/// in turn.
void shareLikeWhatItReplaces(int descriptor, const std::filesystem::path& replaced);

/// Creates `folder` (its parent must exist) shared like its parent with shareLikeItsFolder. A
/// folder that is there already is left as it is; a file in its place is a failure, naming the
/// folder.
Expected<void> createSharedFolder(const std::filesystem::path& folder);

/// Why somebody who may write the folder holding `path` may not write `path` itself (a file or
/// folder), naming it with its owner, group and mode; nothing when all who may write the folder
/// may write it too, or when it is not there.
[[nodiscard]] std::optional<std::string> sharingProblemOf(const std::filesystem::path& path);

}  // namespace gaisan
