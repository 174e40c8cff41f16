#include "platform/FileBytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/DataFileError.h"

namespace gaisan {

std::string readFileBytes(const std::filesystem::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ENOENT) throw DataFileError(file, "ファイルがありません。");
        throw DataFileError(file, std::string("ファイルを開けません（") + std::strerror(errno) + "）。");
    }
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(descriptor, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const std::string problem = std::string("ファイルを読めません（") + std::strerror(errno) + "）。";
            ::close(descriptor);
            throw DataFileError(file, problem);
        }
        if (n == 0) break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(descriptor);
    return bytes;
}

}  // namespace gaisan
