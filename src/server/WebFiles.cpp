#include "server/WebFiles.h"

#include <system_error>

#include "platform/FileBytes.h"

namespace gaisan {
namespace {

constexpr int kDepthLimit = 4;

const char* contentTypeOf(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (extension == ".html") return "text/html; charset=utf-8";
    if (extension == ".css") return "text/css; charset=utf-8";
    if (extension == ".js") return "text/javascript; charset=utf-8";
    if (extension == ".svg") return "image/svg+xml";
    if (extension == ".png") return "image/png";
    if (extension == ".ico") return "image/x-icon";
    return nullptr;
}

}  // namespace

Expected<WebFiles> WebFiles::read(const std::filesystem::path& folder) {
    WebFiles files;
    std::error_code error;
    std::filesystem::recursive_directory_iterator walk(folder, error);
    if (error)
        return Unexpected(Failure{folder, "ページのフォルダが読めません: " + error.message(), {}});
    for (const std::filesystem::recursive_directory_iterator end; walk != end;
         walk.increment(error)) {
        if (error)
            return Unexpected(
                Failure{folder, "ページのフォルダが読めません: " + error.message(), {}});
        if (walk.depth() >= kDepthLimit) walk.disable_recursion_pending();
        const std::filesystem::path& file = walk->path();
        const char* contentType = contentTypeOf(file);
        if (contentType == nullptr || !walk->is_regular_file(error)) continue;
        auto bytes = readFileBytes(file, kTotalLimit - files.m_totalBytes);
        if (!bytes) return Unexpected(bytes.error());
        files.m_totalBytes += bytes->size();
        std::string address = "/";
        address += file.lexically_relative(folder).generic_string();
        files.m_files.emplace(std::move(address), File{std::move(*bytes), contentType});
    }
    if (files.find("/") == nullptr) {
        return Unexpected(Failure{folder, "ページのフォルダに index.html がありません", {}});
    }
    return files;
}

const WebFiles::File* WebFiles::find(std::string_view path) const {
    if (path == "/") path = "/index.html";
    const auto found = m_files.find(path);
    return found == m_files.end() ? nullptr : &found->second;
}

}  // namespace gaisan
