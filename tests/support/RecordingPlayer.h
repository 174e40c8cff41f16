#pragma once

#include <string>
#include <vector>

#include "platform/SoundPlayer.h"

namespace gaisan::testing {

/// Plays nothing, at once, and remembers the files it was asked to play; fails when told to.
class RecordingPlayer final : public SoundPlayer {
public:
    PlayResult play(const std::filesystem::path& file) override {
        played.push_back(file.filename().string());
        if (failing) return {2, "no sound server"};
        return {};
    }

    std::vector<std::string> played;
    bool failing = false;
};

}  // namespace gaisan::testing
