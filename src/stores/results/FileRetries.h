#pragma once

#include <filesystem>
#include <functional>

#include "platform/FileError.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// Waits the given number of seconds while keeping the windows responsive (or simply sleeps, in
/// a command-line tool).
using RetryWait = std::function<void(int seconds)>;

/// What retryingFileStep does after a failure of this kind: goes on at once (true) after waiting
/// out a lock or an open held by another machine, or a missing file while `notFoundTries`
/// allows, or gives up (false).
bool retryAfter(FileErrorKind kind, const RetryWait& wait, int* notFoundTries);

/// Runs `step` until it succeeds, waiting out a lock or an open held by another machine in
/// one-second steps, without limit; returns the last outcome, the failure that ended the retries
/// or the success. With `notFoundTries`, a missing file is retried five seconds apart until that
/// count, shared by the steps of one operation, reaches four; without it a missing file is a
/// failure at once.
template <class Step>
auto retryingFileStep(const Step& step, const RetryWait& wait, int* notFoundTries = nullptr)
    -> decltype(step()) {
    for (;;) {
        auto outcome = step();
        if (outcome || !retryAfter(outcome.error().error.kind, wait, notFoundTries)) return outcome;
    }
}

/// Opens `file` and takes its append lock, waiting out a lock held by another machine. While the
/// lock is held elsewhere the file is closed and opened afresh before each try: a descriptor kept
/// open keeps a stale length on SMB, and stale cached pages on NFS.
Expected<void> openWithAppendLock(RecordFile& file, const std::filesystem::path& path,
                                  const RetryWait& wait);

}  // namespace gaisan
