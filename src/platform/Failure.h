#pragma once

#include <filesystem>
#include <string>

#include "platform/FileError.h"

namespace gaisan {

/// What went wrong, and with which file: the one failure every layer reports. `problem` is a
/// sentence the user is shown as it stands; `file` the file or folder it concerns, empty when it
/// concerns none. A failure of a file operation keeps the operation's own error as well, whose
/// kind tells the caller whether to wait, retry or report.
struct Failure {
    std::filesystem::path file;
    std::string problem;
    FileError error = {};

    /// The file's name and the problem as one line, "FILE: PROBLEM", or the problem alone.
    std::string text() const;

    bool operator==(const Failure&) const = default;
};

/// The failure of an operation the system refused on `file`: the system's description of it is
/// the problem the user is shown.
Failure fileFailure(std::filesystem::path file, FileError error);

}  // namespace gaisan
