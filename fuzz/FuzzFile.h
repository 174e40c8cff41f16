#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace gaisan::fuzzing {

/// A folder of this fuzzing process in the temporary folder ($TMPDIR, which the short runs of the
/// test suite point at a folder they remove afterwards).
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "gaisan-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

/// Writes the input as the file `name` in the scratch folder, the way the program meets it: the
/// readers under test take files, not buffers.
inline std::filesystem::path inputAsFile(const std::string& name, const std::uint8_t* data,
                                         std::size_t size) {
    const std::filesystem::path file = scratchFolder() / name;
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) std::abort();
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(descriptor, data + written, size - written);
        if (n <= 0) std::abort();
        written += static_cast<std::size_t>(n);
    }
    ::close(descriptor);
    return file;
}

}  // namespace gaisan::fuzzing
