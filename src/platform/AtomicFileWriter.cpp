#include "platform/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/DataFileError.h"
#include "platform/DurableFile.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"

namespace gaisan {

AtomicFileWriter::AtomicFileWriter(std::filesystem::path file) : m_file(std::move(file)) {
    std::string pattern =
        (m_file.parent_path() / (m_file.filename().string() + ".XXXXXX")).string();
    m_descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (m_descriptor < 0) fail("一時ファイルを作れません");
    m_temporary = pattern;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_descriptor >= 0) ::close(m_descriptor);
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
}

void AtomicFileWriter::fail(const char* what) {
    throw DataFileError(m_file, std::string(what) + "（" + systemErrorText(errno) + "）。");
}

void AtomicFileWriter::write(std::span<const std::byte> bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) fail("書き込めません");
        written += static_cast<std::size_t>(n);
    }
}

void AtomicFileWriter::commit() {
    // mkostemp creates the file readable by its owner only. The replacement keeps the mode and,
    // where its writer may set it, the group of the file it replaces (a teachers' group may write
    // it); a new file is shared like its folder, so that the next user can replace it in turn.
    struct stat existing {};
    if (::stat(m_file.c_str(), &existing) == 0) {
        mode_t mode = existing.st_mode & 07777;
        // A writer who is no member of the old file's group leaves the replacement in their own
        // group, which gets no write that was meant for the other.
        if (::fchown(m_descriptor, static_cast<uid_t>(-1), existing.st_gid) != 0) {
            mode &= ~static_cast<mode_t>(S_IWGRP);
        }
        ::fchmod(m_descriptor, mode);
    } else {
        shareLikeItsFolder(m_descriptor, m_file);
    }
    if (::fsync(m_descriptor) != 0) fail("書き込みを確定できません");
    const int descriptor = m_descriptor;
    m_descriptor = -1;
    if (::close(descriptor) != 0) fail("書き込みを確定できません");
    if (std::rename(m_temporary.c_str(), m_file.c_str()) != 0) fail("置き換えられません");
    m_temporary.clear();
    // The rename is durable only once the folder itself is synced.
    syncFolderOf(m_file);
}

}  // namespace gaisan
