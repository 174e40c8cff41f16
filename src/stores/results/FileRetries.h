#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "platform/FileError.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// Waits the given number of seconds while keeping the windows responsive (or simply sleeps, in
/// a command-line tool).
using RetryWait = std::function<void(int seconds)>;

/// Runs `step` until it succeeds, waiting out a lock or an open held by another machine in
/// one-second steps, without limit; returns the error that ended the retries. With
/// `notFoundTries`, a missing file is retried five seconds apart until that count, shared by the
/// steps of one operation, reaches four; without it a missing file is an error at once.
[[nodiscard]] std::optional<FileError> retryingFileStep(
    const std::function<std::optional<FileError>()>& step, const RetryWait& wait,
    int* notFoundTries = nullptr);

/// Opens `file` and takes its append lock, waiting out a lock held by another machine. While the
/// lock is held elsewhere the file is closed and opened afresh before each try: a descriptor kept
/// open keeps a stale length on SMB, and stale cached pages on NFS.
[[nodiscard]] std::optional<FileError> openWithAppendLock(RecordFile& file,
                                                          const std::filesystem::path& path,
                                                          const RetryWait& wait);

}  // namespace gaisan
