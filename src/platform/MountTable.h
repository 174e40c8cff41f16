#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaisan {

/// One line of the kernel's mount table (/proc/self/mountinfo).
struct Mount {
    std::string mountPoint;
    std::string fileSystemType;  ///< "nfs", "nfs4", "cifs", "smb3", "ext4"...
    std::string source;          ///< "server:/export", "//server/share"
    /// The mount's own options and the file system's, in that order: NFS and SMB put their
    /// locking and caching options among the latter.
    std::vector<std::string> options;
};

/// The mounts of a mountinfo text, in its order. Lines that are not mountinfo lines are passed
/// over; the octal escapes the kernel writes for spaces and other characters in paths are undone.
std::vector<Mount> parseMountInfo(std::string_view text);

/// The mount that holds `folder` (an absolute, normalised path): the last one whose mount point
/// is the folder or one of its parents, as the last mount on a point hides the earlier ones.
std::optional<Mount> mountHolding(const std::vector<Mount>& mounts,
                                  const std::filesystem::path& folder);

/// This process's mount table; empty when it cannot be read.
std::vector<Mount> readMountTable();

}  // namespace gaisan
