#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "platform/Expected.h"

namespace gaisan {

/// The whole content of a file of at most `limit` bytes. Fails, naming the file, when it is
/// missing, is no regular file (a folder, a device such as /dev/zero, a pipe that might never
/// end), is larger than `limit`, or a read fails part way, so that a network error never passes
/// for a shorter file and a hostile file never exhausts the memory.
Expected<std::string> readFileBytes(const std::filesystem::path& file, std::size_t limit);

/// Whether `file` is missing from a folder that is there. Only that means "not made yet": a
/// folder that cannot be reached (a share gone, a folder another user closed) says nothing about
/// the file, so an optional file read through such a folder is a failure, not an absence.
bool missingFromItsFolder(const std::filesystem::path& file);

}  // namespace gaisan
