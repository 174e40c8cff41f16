#include "platform/DurableFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/PosixRecordFile.h"
#include "platform/SharedFileMode.h"

namespace gaisan {
namespace {

FileError lastError() { return fileErrorOf(errno); }

}  // namespace

std::optional<FileError> writeFileDurably(const std::filesystem::path& file,
                                          std::span<const std::byte> bytes) {
    // Created exclusively, so that a new file gets the mode that lets the classroom's other users
    // replace it in turn, and a file that is there keeps its mode.
    int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
        shareLikeItsFolder(descriptor, file);
    } else if (errno == EEXIST) {
        descriptor = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    }
    if (descriptor < 0) return lastError();
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            // A write that makes no progress without an errno is a full disk.
            const FileError error = n < 0 ? lastError() : fileErrorOf(ENOSPC);
            ::close(descriptor);
            return error;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fdatasync(descriptor) != 0) {
        const FileError error = lastError();
        ::close(descriptor);
        return error;
    }
    if (::close(descriptor) != 0) return lastError();
    syncFolderOf(file);
    return std::nullopt;
}

std::optional<FileError> removeFileDurably(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) return lastError();
    syncFolderOf(file);
    return std::nullopt;
}

std::optional<FileError> renameDurably(const std::filesystem::path& from,
                                       const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastError();
    syncFolderOf(to);
    return std::nullopt;
}

std::optional<FileError> readWholeFile(const std::filesystem::path& file,
                                       std::vector<std::byte>& bytes) {
    bytes.clear();
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return lastError();
    std::byte chunk[65536];
    for (;;) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const FileError error = lastError();
            ::close(descriptor);
            return error;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(descriptor);
    return std::nullopt;
}

void syncFolderOf(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

}  // namespace gaisan
