#pragma once

#include <string>

namespace gaisan {

/// How a file operation failed, sorted by what the caller does about it: a held lock or a file
/// held open elsewhere is waited out and retried, a missing file is retried a few times, anything
/// else is reported.
enum class FileErrorKind { Locked, AlreadyOpen, NotFound, Other };

struct FileError {
    FileErrorKind kind = FileErrorKind::Other;
    int number = 0;           ///< the number the messages show: 70 locked, 55 open, 53 not found
    int systemNumber = 0;     ///< errno
    std::string description;  ///< the system's description of the failure

    bool operator==(const FileError&) const = default;
};

}  // namespace gaisan
