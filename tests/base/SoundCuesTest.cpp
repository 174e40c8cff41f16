#include "base/SoundCues.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "base/AppState.h"
#include "support/RecordingPlayer.h"
#include "support/ScriptedRandom.h"

namespace gaisan {
namespace {

class SoundCuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->locations.SoundFolder = "/sounds/";
        for (int cue = 1; cue <= kCueCount; ++cue) state->sounds.cues[cue].name = cueName(cue);
        SoundCue& correct = state->sounds.cues[kCorrectCue];
        correct.files = {"", "a", "b", "c"};
        correct.count = 3;
        state->sounds.cues[kWrongCue].files = {"", "x"};
        state->sounds.cues[kWrongCue].count = 1;
        state->sounds.cues[kFailCue].count = 0;
    }
    SoundCues cuesWith(std::vector<double> draws) {
        random = std::make_unique<testing::ScriptedRandom>(std::move(draws));
        return SoundCues(*state, player, *random,
                         [this](const std::string& text) { lost.push_back(text); });
    }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    testing::RecordingPlayer player;
    std::unique_ptr<testing::ScriptedRandom> random;
    std::vector<std::string> lost;
};

TEST_F(SoundCuesTest, ANamedCuePlaysEachOfItsFilesWithEqualChance) {
    SoundCues cues = cuesWith({0.0, 0.34, 0.99});
    cues.PlayCorrectCue();
    cues.PlayCorrectCue();
    cues.PlayCorrectCue();
    EXPECT_EQ(player.played, (std::vector<std::string>{"a.wav", "b.wav", "c.wav"}));
}

TEST_F(SoundCuesTest, FixedSoundsPlayTheirFiles) {
    SoundCues cues = cuesWith({});
    cues.PlayBestSound();
    cues.PlayPassSound();
    cues.PlayWarningSound();
    EXPECT_EQ(player.played, (std::vector<std::string>{"最高1.wav", "合格.wav", "警告1.wav"}));
}

TEST_F(SoundCuesTest, TheFourthFailureInARowOfTheWatchedCuesIsReported) {
    SoundCues cues = cuesWith(std::vector<double>(10, 0.5));
    player.failing = true;
    cues.PlayCorrectCue();
    cues.PlayWrongCue();
    cues.PlayCorrectCue();
    EXPECT_TRUE(lost.empty());
    EXPECT_EQ(state->SoundFailures, 3);
    player.failing = false;
    cues.PlayWrongCue();
    EXPECT_EQ(state->SoundFailures, 0) << "a success starts the count again";
    player.failing = true;
    for (int i = 0; i < 3; ++i) cues.PlayCorrectCue();
    cues.PlayWarningSound();
    cues.PlayFailCue();
    EXPECT_TRUE(lost.empty()) << "other sounds neither count nor reset";
    cues.PlayWrongCue();
    EXPECT_EQ(lost, (std::vector<std::string>{"no sound server"}));
    EXPECT_EQ(soundLostMessage("no sound server"),
              "音声がでません。先生を呼びなさい。\r\nno sound server");
}

TEST_F(SoundCuesTest, ACueTheTableDoesNotListFailsWithoutPlaying) {
    state->sounds.cues[kCorrectCue].count.reset();
    SoundCues cues = cuesWith({});
    for (int i = 0; i < 4; ++i) cues.PlayCorrectCue();
    EXPECT_TRUE(player.played.empty());
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_NE(lost[0].find("正解音2"), std::string::npos) << lost[0];

    // A cue listed with no files asks for its empty first slot, which cannot play.
    SoundCues failing = cuesWith({0.5});
    failing.PlayFailCue();
    EXPECT_EQ(player.played, (std::vector<std::string>{".wav"}));
}

}  // namespace
}  // namespace gaisan
