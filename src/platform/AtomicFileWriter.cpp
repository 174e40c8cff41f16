#include "platform/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/DurableFile.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"

namespace gaisan {

AtomicFileWriter::AtomicFileWriter(std::filesystem::path file) : m_file(std::move(file)) {
    std::string pattern =
        (m_file.parent_path() / (m_file.filename().string() + ".XXXXXX")).string();
    m_descriptor = mkostemp(pattern.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        fail("一時ファイルを作れません");
        return;
    }
    m_temporary = pattern;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_descriptor >= 0) ::close(m_descriptor);
    if (!m_temporary.empty()) ::unlink(m_temporary.c_str());
}

void AtomicFileWriter::fail(const char* what) {
    if (m_failure) return;
    m_failure = Failure{m_file, std::string(what) + "（" + systemErrorText(errno) + "）。"};
}

void AtomicFileWriter::write(std::span<const std::byte> bytes) {
    if (m_failure) return;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(m_descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) return fail("書き込めません");
        written += static_cast<std::size_t>(n);
    }
    m_endsInHole = false;
}

void AtomicFileWriter::writeZeros(std::uint64_t count) {
    if (m_failure || count == 0) return;
    if (::lseek(m_descriptor, static_cast<off_t>(count), SEEK_CUR) < 0) {
        return fail("書き込めません");
    }
    m_endsInHole = true;
}

Expected<void> AtomicFileWriter::commit() {
    if (!m_failure) {
        // mkostemp creates the file readable by its owner only.
        shareLikeWhatItReplaces(m_descriptor, m_file);
        if (m_endsInHole) {
            const off_t end = ::lseek(m_descriptor, 0, SEEK_CUR);
            if (end < 0 || ::ftruncate(m_descriptor, end) != 0) fail("書き込めません");
        }
        if (!m_failure && ::fsync(m_descriptor) != 0) fail("書き込みを確定できません");
    }
    if (m_descriptor >= 0) {
        const int descriptor = m_descriptor;
        m_descriptor = -1;
        if (::close(descriptor) != 0) fail("書き込みを確定できません");
    }
    if (!m_failure && std::rename(m_temporary.c_str(), m_file.c_str()) != 0) {
        fail("置き換えられません");
    }
    if (m_failure) return Unexpected(*m_failure);
    m_temporary.clear();
    // The rename is durable only once the folder itself is synced.
    syncFolderOf(m_file);
    return {};
}

}  // namespace gaisan
