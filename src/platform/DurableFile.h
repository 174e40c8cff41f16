#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "platform/FileError.h"

namespace gaisan {

/// Creates or replaces `file` with `bytes`, and makes both its content and its place in the folder
/// durable before returning. Whenever a crash or a power cut comes, `file` is either as it was
/// (absent, or the old content) or whole with `bytes`. A replaced file keeps its mode, a new one is
/// shared like its folder (shareLikeWhatItReplaces).
[[nodiscard]] std::optional<FileError> writeFileDurably(const std::filesystem::path& file,
                                                        std::span<const std::byte> bytes);

/// Removes `file` and makes the removal durable; an absent file is no error.
[[nodiscard]] std::optional<FileError> removeFileDurably(const std::filesystem::path& file);

/// Renames `from` to `to` and makes the rename durable.
[[nodiscard]] std::optional<FileError> renameDurably(const std::filesystem::path& from,
                                                     const std::filesystem::path& to);

/// The whole content of `file`; the NotFound kind when there is none.
[[nodiscard]] std::optional<FileError> readWholeFile(const std::filesystem::path& file,
                                                     std::vector<std::byte>& bytes);

/// Syncs the folder that holds `file`, so that a file created, renamed or removed in it stays so
/// after a power cut.
void syncFolderOf(const std::filesystem::path& file);

}  // namespace gaisan
