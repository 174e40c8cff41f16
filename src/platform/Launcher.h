#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gaisan {

/// Starts another program of the suite, detached, and returns at once.
class Launcher {
public:
    virtual ~Launcher() = default;
    /// False when the program could not be started.
    virtual bool start(const std::filesystem::path& program,
                       const std::vector<std::string>& arguments) = 0;
};

}  // namespace gaisan
