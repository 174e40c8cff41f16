#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/Cp932.h"

namespace gaisan::testing {

/// A fresh folder under the system's temporary folder, removed with everything in it at the end
/// of the test.
class TempFolder {
public:
    /// Under `parent`, by default the system's temporary folder.
    explicit TempFolder(
        const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        std::string pattern = (parent / "gaisan-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    /// Writes `bytes` as they are to `name` (folders created as needed); returns the file's path.
    std::filesystem::path writeBytes(std::string_view name, std::string_view bytes) const {
        const std::filesystem::path file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    /// Writes UTF-8 `text` to `name` encoded as CP932, the way the suite's files are stored.
    std::filesystem::path writeCp932(std::string_view name, std::string_view text) const {
        return writeBytes(name, encodeCp932(text));
    }

private:
    std::filesystem::path m_path;
};

/// The whole content of a file, as bytes.
inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
}

}  // namespace gaisan::testing
