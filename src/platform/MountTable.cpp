#include "platform/MountTable.h"

#include <algorithm>
#include <sstream>

#include "platform/FileBytes.h"

namespace gaisan {
namespace {

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

/// "\040" back to " ": the kernel escapes space, tab, newline and backslash in paths.
std::string unescaped(std::string_view field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() &&
                            isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
                            isOctalDigit(field[i + 3]);
        if (escape) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

void appendCommaSeparated(const std::string& text, std::vector<std::string>& parts) {
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, ',');) {
        if (!part.empty()) parts.push_back(part);
    }
}

/// One mountinfo line: "36 35 98:0 /root /mnt mount-options [optional fields...] - type source
/// super-options".
std::optional<Mount> parseLine(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> fields;
    for (std::string field; stream >> field;) fields.push_back(field);
    constexpr std::size_t kFirstOptionalField = 6;
    std::size_t separator = kFirstOptionalField;
    while (separator < fields.size() && fields[separator] != "-") ++separator;
    if (separator + 2 >= fields.size()) return std::nullopt;
    Mount mount;
    mount.mountPoint = unescaped(fields[4]);
    mount.fileSystemType = fields[separator + 1];
    mount.source = unescaped(fields[separator + 2]);
    appendCommaSeparated(fields[5], mount.options);
    if (separator + 3 < fields.size()) appendCommaSeparated(fields[separator + 3], mount.options);
    return mount;
}

}  // namespace

std::vector<Mount> parseMountInfo(std::string_view text) {
    std::vector<Mount> mounts;
    std::istringstream stream{std::string(text)};
    for (std::string line; std::getline(stream, line);) {
        if (auto mount = parseLine(line)) mounts.push_back(std::move(*mount));
    }
    return mounts;
}

std::optional<Mount> mountHolding(const std::vector<Mount>& mounts,
                                  const std::filesystem::path& folder) {
    std::optional<Mount> holding;
    std::ptrdiff_t deepest = -1;
    for (const Mount& mount : mounts) {
        const std::filesystem::path point(mount.mountPoint);
        const auto mismatch =
            std::mismatch(point.begin(), point.end(), folder.begin(), folder.end());
        if (mismatch.first != point.end()) continue;
        const std::ptrdiff_t depth = std::distance(point.begin(), point.end());
        if (depth >= deepest) {
            deepest = depth;
            holding = mount;
        }
    }
    return holding;
}

std::vector<Mount> readMountTable() {
    constexpr std::size_t kMaxMountTableBytes = 4 * 1024 * 1024;
    const Expected<std::string> table = readFileBytes("/proc/self/mountinfo", kMaxMountTableBytes);
    return table ? parseMountInfo(*table) : std::vector<Mount>{};
}

}  // namespace gaisan
