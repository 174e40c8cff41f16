#include "stores/results/FileRetries.h"

namespace gaisan {
namespace {

constexpr int kNotFoundTries = 4;
constexpr int kLockRetrySeconds = 1;
constexpr int kNotFoundRetrySeconds = 5;

}  // namespace

bool retryAfter(FileErrorKind kind, const RetryWait& wait, int* notFoundTries) {
    switch (kind) {
        case FileErrorKind::Locked:
        case FileErrorKind::AlreadyOpen:
            wait(kLockRetrySeconds);
            return true;
        case FileErrorKind::NotFound:
            if (!notFoundTries) return false;
            wait(kNotFoundRetrySeconds);
            return ++*notFoundTries < kNotFoundTries;
        case FileErrorKind::Other:
            return false;
    }
    return false;
}

Expected<void> openWithAppendLock(RecordFile& file, const std::filesystem::path& path,
                                  const RetryWait& wait) {
    return retryingFileStep(
        [&]() -> Expected<void> {
            if (auto opened = file.open(path); !opened) return opened;
            auto locked = file.lockForAppend();
            if (!locked) file.close();
            return locked;
        },
        wait);
}

}  // namespace gaisan
