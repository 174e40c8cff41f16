#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/SoundPlayer.h"

namespace gaisan::testing {

/// Remembers the files it was asked to play and fails when told to. By default it plays at
/// once; given a length, it blocks for that long as the real player does, and `whilePlaying`
/// stands for what a child does meanwhile: the keys and clicks it posts wait in the event queue
/// until the program next lets events run.
class RecordingPlayer final : public SoundPlayer {
public:
    PlayResult play(const std::filesystem::path& file) override {
        played.push_back(file.filename().string());
        if (whilePlaying) whilePlaying(played.back());
        std::this_thread::sleep_for(length);
        if (failing) return {2, "no sound server"};
        return {};
    }

    std::vector<std::string> played;
    bool failing = false;
    std::chrono::milliseconds length{0};
    std::function<void(const std::string& file)> whilePlaying;
};

}  // namespace gaisan::testing
