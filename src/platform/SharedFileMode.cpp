#include "platform/SharedFileMode.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/SystemErrorText.h"

namespace gaisan {
namespace {

std::filesystem::path folderOf(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.parent_path();
    return folder.empty() ? "." : folder;
}

std::string modeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::string ownerName(uid_t owner) {
    const passwd* entry = ::getpwuid(owner);
    return entry ? entry->pw_name : std::to_string(owner);
}

std::string groupName(gid_t group) {
    const struct group* entry = ::getgrgid(group);
    return entry ? entry->gr_name : std::to_string(group);
}

/// Whether everybody who may write a folder of `folder`'s status may write a file of `file`'s.
bool asWritableAs(const struct stat& file, const struct stat& folder) {
    if (file.st_mode & S_IWOTH) return true;
    if (folder.st_mode & S_IWOTH) return false;
    if (!(folder.st_mode & S_IWGRP)) return true;
    return (file.st_mode & S_IWGRP) && file.st_gid == folder.st_gid;
}

}  // namespace

mode_t sharedModeFor(mode_t folderMode, bool isFolder) {
    const mode_t writable = folderMode & (S_IWGRP | S_IWOTH);
    if (!isFolder) return 0644 | writable;
    return 0755 | writable | (folderMode & S_ISGID);
}

void shareLikeItsFolder(int descriptor, const std::filesystem::path& created) {
    struct stat status {};
    struct stat parent {};
    if (::fstat(descriptor, &status) != 0 || ::stat(folderOf(created).c_str(), &parent) != 0)
        return;
    mode_t mode = sharedModeFor(parent.st_mode, S_ISDIR(status.st_mode));
    // In a folder writable by its group alone, the file must be of that group. A setgid folder
    // has given it the group already; otherwise the creator may set it when a member of the
    // group. Group write without the folder's group would go to the creator's own group, which
    // has no business writing here.
    const bool groupAlone = (parent.st_mode & S_IWGRP) && !(parent.st_mode & S_IWOTH);
    if (groupAlone && status.st_gid != parent.st_gid &&
        ::fchown(descriptor, static_cast<uid_t>(-1), parent.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_IWGRP);
    }
    // The umask of whoever created the file has taken bits away that the share needs; fchmod is
    // not subject to it. On a network drive whose server decides the modes it may fail or do
    // nothing, and the mode is the server's.
    ::fchmod(descriptor, mode);
}

Expected<void> createSharedFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0777) != 0) {
        struct stat status {};
        if (errno == EEXIST && ::stat(folder.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) return {};
            errno = ENOTDIR;
        }
        return Unexpected(Failure{folder, systemErrorText(errno)});
    }
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) return Unexpected(Failure{folder, systemErrorText(errno)});
    shareLikeItsFolder(descriptor, folder);
    ::close(descriptor);
    return {};
}

std::optional<std::string> sharingProblemOf(const std::filesystem::path& path) {
    struct stat status {};
    struct stat folder {};
    if (::stat(path.c_str(), &status) != 0 || ::stat(folderOf(path).c_str(), &folder) != 0 ||
        asWritableAs(status, folder)) {
        return std::nullopt;
    }
    return path.string() + ": フォルダに書き込めるユーザーのうち、書き込めない人がいます（所有者 " +
           ownerName(status.st_uid) + "、グループ " + groupName(status.st_gid) + "、モード " +
           modeText(status.st_mode) + "。フォルダはグループ " + groupName(folder.st_gid) +
           "、モード " + modeText(folder.st_mode) + "）";
}

void shareLikeWhatItReplaces(int descriptor, const std::filesystem::path& replaced) {
    struct stat existing {};
    if (::stat(replaced.c_str(), &existing) != 0) {
        shareLikeItsFolder(descriptor, replaced);
        return;
    }
    mode_t mode = existing.st_mode & 07777;
    // A writer who is no member of the old file's group leaves the replacement in their own
    // group, which gets no write that was meant for the other.
    if (::fchown(descriptor, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        mode &= ~static_cast<mode_t>(S_IWGRP);
    }
    ::fchmod(descriptor, mode);
}

}  // namespace gaisan
