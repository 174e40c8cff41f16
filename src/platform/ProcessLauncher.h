#pragma once

#include "platform/Launcher.h"

namespace gaisan {

/// Starts a program in a session of its own, so that it lives on when this program ends at
/// once after starting it.
class ProcessLauncher final : public Launcher {
public:
    bool start(const std::filesystem::path& program,
               const std::vector<std::string>& arguments) override;
};

}  // namespace gaisan
