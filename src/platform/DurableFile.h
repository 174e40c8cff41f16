#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/FileError.h"

namespace gaisan {

/// Creates or replaces `file` with `bytes`, and makes both its content and its place in the folder
/// durable before returning, so that after a power cut the file is either absent or whole up to
/// the last byte synced. A crash part way may leave a shorter file: readers must be able to tell.
/// A new file is shared like its folder (shareLikeItsFolder); a file that is there keeps its mode.
std::optional<FileError> writeFileDurably(const std::filesystem::path& file,
                                          std::span<const std::byte> bytes);

/// Removes `file` and makes the removal durable; an absent file is no error.
std::optional<FileError> removeFileDurably(const std::filesystem::path& file);

/// Renames `from` to `to` and makes the rename durable.
std::optional<FileError> renameDurably(const std::filesystem::path& from,
                                       const std::filesystem::path& to);

/// The whole content of `file`; the NotFound kind when there is none.
std::optional<FileError> readWholeFile(const std::filesystem::path& file,
                                       std::vector<std::byte>& bytes);

/// Syncs the folder that holds `file`, so that a file created, renamed or removed in it stays so
/// after a power cut.
void syncFolderOf(const std::filesystem::path& file);

}  // namespace gaisan
