#pragma once

#include <string>
#include <vector>

#include "base/SoundCues.h"

namespace gaisan::testing {

/// Remembers which cues were asked for, in order, and plays nothing.
class RecordingCues final : public CuePlayer {
public:
    void PlayCorrectCue() override { played.push_back("correct"); }
    void PlayWrongCue() override { played.push_back("wrong"); }
    void PlayPersonalBestCue() override { played.push_back("personal best"); }
    void PlayFailCue() override { played.push_back("fail"); }
    void PlayBestSound() override { played.push_back("best"); }
    void PlayPassSound() override { played.push_back("pass"); }
    void PlayWarningSound() override { played.push_back("warning"); }

    std::vector<std::string> played;
};

}  // namespace gaisan::testing
