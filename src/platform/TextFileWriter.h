#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace gaisan {

/// Replaces `file` with `utf8Text` encoded as CP932. The text is written to a temporary file in
/// the same folder, synced and renamed over the old file, so that a crash, a full disk or a
/// reader on another machine never sees a half-written file. Fails, leaving the old file as it
/// was, when the text holds a character CP932 cannot hold or the write fails.
Expected<void> writeCp932FileAtomically(const std::filesystem::path& file,
                                        std::string_view utf8Text);

/// `utf8Text` encoded as CP932, the bytes writeCp932FileAtomically writes to `file`. Fails,
/// naming `file`, when the text holds a character CP932 cannot hold.
Expected<std::string> cp932BytesFor(const std::filesystem::path& file, std::string_view utf8Text);

}  // namespace gaisan
