#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/MountTable.h"

namespace gaisan {

/// A warning for the teacher when the mount that holds the results file would not keep the
/// machines of a classroom apart: with locks that stay on each machine (NFS "nolock", shown as
/// "local_lock=all", or "local_lock=posix"; SMB "nobrl") two machines append at the same place
/// and one record is lost; with caching that trusts a machine's own copy (NFS "nocto"; SMB
/// "cache=loose" or "cache=singleclient") a machine appends after a length that is out of date
/// and overwrites another's record. Names the mount and the option; nothing for a safe mount.
[[nodiscard]] std::optional<std::string> sharingWarningOf(const Mount& mount);

/// The warning for the mount that holds `folder`, from this process's mount table.
[[nodiscard]] std::optional<std::string> sharingWarningForFolder(
    const std::filesystem::path& folder);

}  // namespace gaisan
