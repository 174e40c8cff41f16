#include "platform/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SystemErrorText.h"

namespace gaisan {
namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    ~Descriptor() {
        if (m_descriptor >= 0) ::close(m_descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

Unexpected<Failure> tooLarge(const std::filesystem::path& file, std::size_t limit) {
    return Unexpected(Failure{
        file,
        "ファイルが大きすぎます（" + std::to_string(limit / (1024 * 1024)) +
            " MB まで）。壊れたファイルか、別のファイルと取り違えていないか確かめてください。"});
}

/// The failure of a system call on `file`: `what` went wrong, with the system's words for why.
Unexpected<Failure> systemFailure(const std::filesystem::path& file, const char* what) {
    const int error = errno;
    return Unexpected(Failure{file, std::string(what) + "（" + systemErrorText(error) + "）。"});
}

}  // namespace

Expected<std::string> readFileBytes(const std::filesystem::path& file, std::size_t limit) {
    // Not blocking: opening a pipe for reading would otherwise wait for a writer for ever.
    const Descriptor descriptor(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (descriptor.get() < 0) {
        if (errno == ENOENT) return Unexpected(Failure{file, "ファイルがありません。"});
        return systemFailure(file, "ファイルを開けません");
    }
    struct stat status {};
    if (::fstat(descriptor.get(), &status) != 0) {
        return systemFailure(file, "ファイルを調べられません");
    }
    if (!S_ISREG(status.st_mode)) return Unexpected(Failure{file, notRegularFileText() + "。"});
    if (static_cast<std::uint64_t>(status.st_size) > limit) return tooLarge(file, limit);

    // The size can change while the file is read (another machine writing it), so the limit is
    // kept while reading too.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(descriptor.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return systemFailure(file, "ファイルを読めません");
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > limit) return tooLarge(file, limit);
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool missingFromItsFolder(const std::filesystem::path& file) {
    std::error_code ignored;
    return std::filesystem::symlink_status(file, ignored).type() ==
               std::filesystem::file_type::not_found &&
           std::filesystem::is_directory(file.parent_path(), ignored);
}

}  // namespace gaisan
