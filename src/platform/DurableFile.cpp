#include "platform/DurableFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/PosixRecordFile.h"
#include "platform/SharedFileMode.h"

namespace gaisan {
namespace {

/// The failure for errno as it stands, naming `file`.
Unexpected<Failure> lastFailure(const std::filesystem::path& file) {
    return Unexpected(fileFailure(file, fileErrorOf(errno)));
}

}  // namespace

Expected<void> writeFileDurably(const std::filesystem::path& file,
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
    if (descriptor < 0) return lastFailure(file);
    shareLikeWhatItReplaces(descriptor, file);
    const auto failed = [&](Unexpected<Failure> failure) {
        ::close(descriptor);
        ::unlink(part.c_str());
        return failure;
    };
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        // A write that makes no progress without an errno is a full disk.
        if (n <= 0) {
            return failed(n < 0 ? lastFailure(file)
                                : Unexpected(fileFailure(file, fileErrorOf(ENOSPC))));
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fdatasync(descriptor) != 0) return failed(lastFailure(file));
    if (::close(descriptor) != 0) {
        Unexpected<Failure> failure = lastFailure(file);
        ::unlink(part.c_str());
        return failure;
    }
    if (::rename(part.c_str(), file.c_str()) != 0) {
        Unexpected<Failure> failure = lastFailure(file);
        ::unlink(part.c_str());
        return failure;
    }
    syncFolderOf(file);
    return {};
}

Expected<void> removeFileDurably(const std::filesystem::path& file) {
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) return lastFailure(file);
    syncFolderOf(file);
    return {};
}

Expected<void> renameDurably(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return lastFailure(from);
    syncFolderOf(to);
    return {};
}

Expected<std::vector<std::byte>> readWholeFile(const std::filesystem::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return lastFailure(file);
    std::vector<std::byte> bytes;
    std::byte chunk[65536];
    for (;;) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            Unexpected<Failure> failure = lastFailure(file);
            ::close(descriptor);
            return failure;
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    ::close(descriptor);
    return bytes;
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
