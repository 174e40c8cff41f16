#pragma once

#include <filesystem>
#include <string>

namespace gaisan {

/// The whole content of a file. Throws DataFileError when it is missing or a read fails part
/// way, so that a network error never passes for a shorter file.
std::string readFileBytes(const std::filesystem::path& file);

}  // namespace gaisan
