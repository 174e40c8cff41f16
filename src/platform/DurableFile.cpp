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
    // Written beside the file and renamed into place once synced: whenever a crash comes, the
    // file by its own name is either as it was or whole, never empty or cut short. A crash
    // leaves at most the part file, which the next write removes. The part file is always
    // created afresh, whoever left one behind, and given the mode of the file it replaces, or
    // for a new file the mode that lets the classroom's other users replace it in turn.
    std::filesystem::path part = file;
    part += ".part";
    int descriptor = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno == EEXIST && ::unlink(part.c_str()) == 0) {
        descriptor = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    }
    if (descriptor < 0) return lastError();
    shareLikeWhatItReplaces(descriptor, file);
    const auto failed = [&](const FileError& error) {
        ::close(descriptor);
        ::unlink(part.c_str());
        return error;
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        // A write that makes no progress without an errno is a full disk.
        if (n <= 0) return failed(n < 0 ? lastError() : fileErrorOf(ENOSPC));
        written += static_cast<std::size_t>(n);
    }
    if (::fdatasync(descriptor) != 0) return failed(lastError());
    if (::close(descriptor) != 0) {
        const FileError error = lastError();
        ::unlink(part.c_str());
        return error;
    }
    if (::rename(part.c_str(), file.c_str()) != 0) {
        const FileError error = lastError();
        ::unlink(part.c_str());
        return error;
    }
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
