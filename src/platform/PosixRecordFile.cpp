#include "platform/PosixRecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"

namespace gaisan {
namespace {

// The numbers the messages show for each kind of failure.
constexpr int kLockedNumber = 70;
constexpr int kNotFoundNumber = 53;
constexpr int kDeviceErrorNumber = 57;
constexpr int kDiskFullNumber = 61;
constexpr int kAccessErrorNumber = 75;

flock appendLockRegion(short type) {
    flock region{};
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = static_cast<off_t>(kAppendLockOffset);
    region.l_len = 1;
    region.l_pid = 0;  // must be 0 for open-file-description locks
    return region;
}

}  // namespace

FileError fileErrorOf(int errnoValue, bool locking) {
    FileError error;
    error.systemNumber = errnoValue;
    error.description = systemErrorText(errnoValue);
    switch (errnoValue) {
        case EAGAIN:
        case EACCES:
            if (locking) {
                error.kind = FileErrorKind::Locked;
                error.number = kLockedNumber;
                error.description = "ほかのコンピュータが記録中です";
                return error;
            }
            error.number = kAccessErrorNumber;
            return error;
        case ENOENT:
            error.kind = FileErrorKind::NotFound;
            error.number = kNotFoundNumber;
            return error;
        case ENOLCK:
        case ESTALE:
        case EIO:
            error.number = kDeviceErrorNumber;
            return error;
        case ENOSPC:
        case EDQUOT:
            error.number = kDiskFullNumber;
            return error;
        default:
            error.number = kAccessErrorNumber;
            return error;
    }
}

PosixRecordFile::~PosixRecordFile() { close(); }

Expected<void> PosixRecordFile::open(const std::filesystem::path& file) {
    // Created exclusively, so that only the machine that made the file gives it the mode that
    // lets every other user of the classroom record too; a file that is there keeps its mode.
    Expected<void> created = openWith(file, O_RDWR | O_CREAT | O_EXCL);
    if (created) {
        shareLikeItsFolder(m_descriptor, file);
        return created;
    }
    if (created.error().error.systemNumber != EEXIST) return created;
    return openWith(file, O_RDWR);
}

Expected<void> PosixRecordFile::openForReading(const std::filesystem::path& file) {
    // Not blocking: a pipe in the file's place would otherwise wait for a writer for ever.
    return openWith(file, O_RDONLY | O_NONBLOCK);
}

Unexpected<Failure> PosixRecordFile::lastFailure(bool locking) const {
    return Unexpected(fileFailure(m_path, fileErrorOf(errno, locking)));
}

Expected<void> PosixRecordFile::openWith(const std::filesystem::path& file, int flags) {
    close();
    m_path = file;
    m_descriptor = ::open(file.c_str(), flags | O_CLOEXEC, 0666);
    if (m_descriptor < 0) return lastFailure();
    // A device such as /dev/zero never ends and has no length; a pipe cannot be positioned.
    struct stat status {};
    if (::fstat(m_descriptor, &status) != 0) {
        Unexpected<Failure> failure = lastFailure();
        close();
        return failure;
    }
    if (!S_ISREG(status.st_mode)) {
        close();
        return Unexpected(fileFailure(
            file, FileError{FileErrorKind::Other, kAccessErrorNumber, 0, notRegularFileText()}));
    }
    return {};
}

void PosixRecordFile::close() {
    if (m_descriptor >= 0) ::close(m_descriptor);  // closing releases the OFD lock too
    m_descriptor = -1;
}

Expected<std::uint64_t> PosixRecordFile::length() {
    // lseek(SEEK_END), never fstat: on an SMB share fstat may answer with a size the client
    // cached up to a second ago, while lseek asks the server. Appending at an old size would
    // overwrite the record another machine has just written.
    const off_t end = ::lseek(m_descriptor, 0, SEEK_END);
    if (end < 0) return lastFailure();
    return static_cast<std::uint64_t>(end);
}

Expected<std::size_t> PosixRecordFile::readAt(std::uint64_t offset, std::span<std::byte> into) {
    std::size_t bytesRead = 0;
    while (bytesRead < into.size()) {
        const ssize_t n = ::pread(m_descriptor, into.data() + bytesRead, into.size() - bytesRead,
                                  static_cast<off_t>(offset + bytesRead));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastFailure();
        if (n == 0) break;
        bytesRead += static_cast<std::size_t>(n);
    }
    return bytesRead;
}

Expected<void> PosixRecordFile::lockForAppend() {
    flock region = appendLockRegion(F_WRLCK);
    while (::fcntl(m_descriptor, F_OFD_SETLK, &region) != 0) {
        if (errno != EINTR) return lastFailure(true);
    }
    return {};
}

void PosixRecordFile::unlock() {
    flock region = appendLockRegion(F_UNLCK);
    ::fcntl(m_descriptor, F_OFD_SETLK, &region);
}

Expected<void> PosixRecordFile::writeDurably(std::uint64_t offset,
                                             std::span<const std::byte> bytes) {
    ssize_t n;
    do {
        n = ::pwrite(m_descriptor, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    } while (n < 0 && errno == EINTR);
    if (n < 0) return lastFailure();
    if (static_cast<std::size_t>(n) != bytes.size()) {
        // A short write without an errno is what a full disk looks like on some servers.
        return Unexpected(fileFailure(m_path, fileErrorOf(ENOSPC)));
    }
    if (::fdatasync(m_descriptor) != 0) return lastFailure();
    return {};
}

Expected<void> PosixRecordFile::truncate(std::uint64_t length) {
    if (::ftruncate(m_descriptor, static_cast<off_t>(length)) != 0) return lastFailure();
    if (::fdatasync(m_descriptor) != 0) return lastFailure();
    return {};
}

}  // namespace gaisan
