#pragma once

#include <string>
#include <vector>

#include "platform/Launcher.h"

namespace gaisan::testing {

/// Starts nothing and remembers what it was asked to start.
class RecordingLauncher final : public Launcher {
public:
    bool start(const std::filesystem::path& program,
               const std::vector<std::string>& arguments) override {
        started.push_back(program);
        this->arguments = arguments;
        return true;
    }

    std::vector<std::filesystem::path> started;
    std::vector<std::string> arguments;
};

}  // namespace gaisan::testing
