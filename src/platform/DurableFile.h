#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

#include "platform/Expected.h"

namespace gaisan {

/// Creates or replaces `file` with `bytes`, and makes both its content and its place in the folder
/// durable before returning. Whenever a crash or a power cut comes, `file` is either as it was
/// (absent, or the old content) or whole with `bytes`. A replaced file keeps its mode, a new one is
/// shared like its folder (shareLikeWhatItReplaces).
Expected<void> writeFileDurably(const std::filesystem::path& file,
                                std::span<const std::byte> bytes);

/// Removes `file` and makes the removal durable; an absent file is no error.
Expected<void> removeFileDurably(const std::filesystem::path& file);

/// Renames `from` to `to` and makes the rename durable; a failure names `from`.
Expected<void> renameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

/// The whole content of `file`; the NotFound kind when there is none.
Expected<std::vector<std::byte>> readWholeFile(const std::filesystem::path& file);

/// Syncs the folder that holds `file`, so that a file created, renamed or removed in it stays so
/// after a power cut.
void syncFolderOf(const std::filesystem::path& file);

}  // namespace gaisan
