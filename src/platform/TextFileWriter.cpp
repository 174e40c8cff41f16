#include "platform/TextFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/Cp932.h"
#include "platform/DataFileError.h"
#include "platform/SystemErrorText.h"

namespace gaisan {
namespace {

std::string systemError(const char* what) { return std::string(what) + "（" + systemErrorText(errno) + "）。"; }

/// Writes all of `bytes` to a new temporary file beside `file` and syncs it; returns its path.
std::filesystem::path writeTemporary(const std::filesystem::path& file, const std::string& bytes) {
    std::string pattern = (file.parent_path() / (file.filename().string() + ".XXXXXX")).string();
    const int descriptor = mkstemp(pattern.data());
    if (descriptor < 0) throw DataFileError(file, systemError("一時ファイルを作れません"));
    const std::filesystem::path temporary(pattern);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(descriptor, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const std::string problem = systemError("書き込めません");
            ::close(descriptor);
            std::filesystem::remove(temporary);
            throw DataFileError(file, problem);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(descriptor) != 0 || ::close(descriptor) != 0) {
        const std::string problem = systemError("書き込みを確定できません");
        std::filesystem::remove(temporary);
        throw DataFileError(file, problem);
    }
    return temporary;
}

}  // namespace

void writeCp932FileAtomically(const std::filesystem::path& file, std::string_view utf8Text) {
    std::string bytes;
    try {
        bytes = encodeCp932(utf8Text);
    } catch (const Cp932Error& e) {
        throw DataFileError(file, "Shift-JIS (CP932) で書けない文字があります（先頭から " +
                                      std::to_string(e.offset()) + " バイト目）。");
    }
    const std::filesystem::path temporary = writeTemporary(file, bytes);
    // mkstemp creates the file readable by its owner only; the replacement keeps the permissions
    // of the file it replaces (a teachers' group may write it), or is readable by everyone.
    struct stat existing {};
    ::chmod(temporary.c_str(), ::stat(file.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644);
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        const std::string problem = systemError("置き換えられません");
        std::filesystem::remove(temporary);
        throw DataFileError(file, problem);
    }
    // The rename is durable only once the folder itself is synced.
    const int folder = ::open(file.parent_path().empty() ? "." : file.parent_path().c_str(),
                              O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

}  // namespace gaisan
