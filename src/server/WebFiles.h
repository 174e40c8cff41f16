#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace gaisan {

/// The pages' files, read once at start into memory: a page's path either names one of them
/// exactly or names nothing, so no address reaches a file outside them, whatever it holds
/// ("..", "%2e", links, a second slash).
class WebFiles {
public:
    struct File {
        std::string bytes;
        std::string contentType;
    };
    /// At most this much in all; the pages need a small part of it.
    static constexpr std::size_t kTotalLimit = 4 * 1024 * 1024;

    /// Reads the files of `folder` and its subfolders whose kind a page uses (.html, .css, .js,
    /// .svg, .png, .ico); fails naming the folder or file that cannot be read, or when they are
    /// too many.
    static Expected<WebFiles> read(const std::filesystem::path& folder);

    /// The file at `path` ("/" is "/index.html"), or none.
    const File* find(std::string_view path) const;
    std::size_t totalBytes() const { return m_totalBytes; }

private:
    std::map<std::string, File, std::less<>> m_files;
    std::size_t m_totalBytes = 0;
};

}  // namespace gaisan
