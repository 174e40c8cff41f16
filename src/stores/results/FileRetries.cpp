#include "stores/results/FileRetries.h"

namespace gaisan {
namespace {

constexpr int kNotFoundTries = 4;
constexpr int kLockRetrySeconds = 1;
constexpr int kNotFoundRetrySeconds = 5;

}  // namespace

std::optional<FileError> retryingFileStep(const std::function<std::optional<FileError>()>& step,
                                          const RetryWait& wait, int* notFoundTries) {
    for (;;) {
        std::optional<FileError> error = step();
        if (!error) return std::nullopt;
        switch (error->kind) {
            case FileErrorKind::Locked:
            case FileErrorKind::AlreadyOpen:
                wait(kLockRetrySeconds);
                continue;
            case FileErrorKind::NotFound:
                if (!notFoundTries) return error;
                wait(kNotFoundRetrySeconds);
                if (++*notFoundTries < kNotFoundTries) continue;
                return error;
            case FileErrorKind::Other:
                return error;
        }
    }
}

std::optional<FileError> openWithAppendLock(RecordFile& file, const std::filesystem::path& path,
                                            const RetryWait& wait) {
    return retryingFileStep(
        [&]() -> std::optional<FileError> {
            if (auto opened = file.open(path)) return opened;
            auto locked = file.lockForAppend();
            if (locked) file.close();
            return locked;
        },
        wait);
}

}  // namespace gaisan
