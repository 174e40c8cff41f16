#include "platform/PulseSoundPlayer.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "support/TempFolder.h"

// Runs under tests/support/with-pulseaudio: a private daemon whose sink (44100 Hz, stereo, s16le)
// writes into a FIFO that is captured to the file named by GAISAN_PULSE_CAPTURE.

namespace gaisan {
namespace {

using Clock = std::chrono::steady_clock;
using gaisan::testing::readBytes;
using gaisan::testing::TempFolder;

void appendLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

/// A 16-bit PCM wave file's samples: a pattern that is neither silence nor periodic within a
/// few samples, so that finding it in the captured output means it was played as it is.
std::string samplesOf(double seconds, int rate, int channels) {
    const auto count =
        static_cast<std::size_t>(seconds * rate) * static_cast<std::size_t>(channels);
    std::string data;
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        appendLittleEndian(data, (state >> 16) & 0x3FFF, 2);  // quiet noise
    }
    return data;
}

/// A complete RIFF/WAVE file: header, "fmt " chunk for 16-bit PCM, "data" chunk.
std::string waveOf(const std::string& samples, int rate, int channels) {
    std::string bytes = "RIFF";
    appendLittleEndian(bytes, static_cast<std::uint32_t>(36 + samples.size()), 4);
    bytes += "WAVEfmt ";
    appendLittleEndian(bytes, 16, 4);
    appendLittleEndian(bytes, 1, 2);  // PCM
    appendLittleEndian(bytes, static_cast<std::uint32_t>(channels), 2);
    appendLittleEndian(bytes, static_cast<std::uint32_t>(rate), 4);
    appendLittleEndian(bytes, static_cast<std::uint32_t>(rate * channels * 2), 4);
    appendLittleEndian(bytes, static_cast<std::uint32_t>(channels * 2), 2);
    appendLittleEndian(bytes, 16, 2);
    bytes += "data";
    appendLittleEndian(bytes, static_cast<std::uint32_t>(samples.size()), 4);
    return bytes + samples;
}

std::filesystem::path writeWave(const TempFolder& folder, std::string_view name, double seconds,
                                int rate = 44100, int channels = 2) {
    return folder.writeBytes(name, waveOf(samplesOf(seconds, rate, channels), rate, channels));
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

/// Sets an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value)
        : m_name(name), m_old(environment(name)) {
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

struct Format {
    int rate;
    int channels;
    double seconds;
};

class PulseSoundPlayerFormats : public ::testing::TestWithParam<Format> {};

// The sink's own format passes through untouched; others are converted by the server and must
// still take their own length, which a stream opened with the wrong rate or channels would not.
TEST_P(PulseSoundPlayerFormats, PlaysTheWholeSoundAndReturnsWhenItHasEnded) {
    const Format format = GetParam();
    TempFolder folder;
    const auto wave = writeWave(folder, "cue.wav", format.seconds, format.rate, format.channels);

    PulseSoundPlayer player;
    const auto start = Clock::now();
    const PlayResult result = player.play(wave);
    const double elapsed = secondsSince(start);

    EXPECT_EQ(result.code, 0) << result.errorText;
    EXPECT_EQ(result.errorText, "");
    EXPECT_GE(elapsed, format.seconds * 0.9);
    EXPECT_LT(elapsed, format.seconds + 1.5);
}

INSTANTIATE_TEST_SUITE_P(Formats, PulseSoundPlayerFormats,
                         ::testing::Values(Format{44100, 2, 0.5}, Format{22050, 1, 0.4},
                                           Format{48000, 2, 0.3}),
                         [](const ::testing::TestParamInfo<Format>& info) {
                             return std::to_string(info.param.rate) + "Hz" +
                                    std::to_string(info.param.channels) + "Channels";
                         });

TEST(PulseSoundPlayer, SendsTheSamplesToTheServerUnchanged) {
    const auto capture = environment("GAISAN_PULSE_CAPTURE");
    if (!capture) GTEST_SKIP() << "needs tests/support/with-pulseaudio";
    TempFolder folder;
    const std::string samples = samplesOf(0.3, 44100, 2);
    const auto wave = folder.writeBytes("cue.wav", waveOf(samples, 44100, 2));
    const auto capturedBefore = std::filesystem::file_size(*capture);

    const PlayResult result = PulseSoundPlayer().play(wave);
    ASSERT_EQ(result.code, 0) << result.errorText;

    // The drain ends when the sink has written the sound into its FIFO; the capturing reader may
    // still be a moment behind.
    bool found = false;
    for (const auto start = Clock::now(); !found && secondsSince(start) < 2.0;) {
        found = readBytes(*capture).find(samples, capturedBefore) != std::string::npos;
        if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(found) << "the samples are not in the captured output";
}

TEST(PulseSoundPlayer, FileWithoutFramesIsSilenceAndSucceedsAtOnce) {
    TempFolder folder;
    const auto wave = folder.writeBytes("empty.wav", waveOf("", 44100, 2));
    // Not even a server is needed for nothing to play.
    ScopedEnvironment noServer("PULSE_SERVER", "unix:" + (folder / "no-socket").string());

    const auto start = Clock::now();
    const PlayResult result = PulseSoundPlayer().play(wave);

    EXPECT_EQ(result.code, 0) << result.errorText;
    EXPECT_LT(secondsSince(start), 0.5);
}

TEST(PulseSoundPlayer, FilesThatAreNotPlayableSoundReportWhichFileAndWhy) {
    TempFolder folder;
    const std::string valid = waveOf(samplesOf(0.1, 44100, 2), 44100, 2);
    std::string random;
    for (int i = 0; i < 4000; ++i) random += static_cast<char>((i * 7919 + 13) % 251);
    // A header libsndfile takes but PulseAudio cannot play: more channels than it supports.
    const std::string tooManyChannels = waveOf(samplesOf(0.01, 8000, 64), 8000, 64);

    const struct {
        const char* name;
        std::optional<std::string> content;  // none: the file does not exist
    } cases[] = {
        {"missing.wav", std::nullopt},
        {"random.wav", random},
        {"truncated-header.wav", valid.substr(0, 30)},
        {"text.wav", "これは音声ではありません\n"},
        {"sixty-four-channels.wav", tooManyChannels},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = c.content ? folder.writeBytes(c.name, *c.content) : folder / c.name;

        const PlayResult result = PulseSoundPlayer().play(file);

        EXPECT_EQ(result.code, PulseSoundPlayer::kCannotReadFile);
        EXPECT_NE(result.errorText.find(c.name), std::string::npos) << result.errorText;
    }
}

TEST(PulseSoundPlayer, WithoutServerFailsQuicklyWithTheConnectionError) {
    TempFolder folder;
    const auto wave = writeWave(folder, "cue.wav", 0.5);
    ScopedEnvironment noServer("PULSE_SERVER", "unix:" + (folder / "no-socket").string());

    const auto start = Clock::now();
    const PlayResult result = PulseSoundPlayer().play(wave);

    EXPECT_LT(secondsSince(start), 2.0);
    EXPECT_EQ(result.code, PulseSoundPlayer::kCannotConnect);
    EXPECT_NE(result.errorText.find("Connection refused"), std::string::npos) << result.errorText;
    EXPECT_NE(result.errorText.find("cue.wav"), std::string::npos) << result.errorText;
}

// The daemon is killed in the middle of a sound; the supervising script starts a new one, which
// the next play must reach without anything being restarted in the program.
TEST(PulseSoundPlayer, ServerDyingMidSoundFailsAndTheNextPlayUsesTheNewServer) {
    const auto pidFile = environment("GAISAN_PULSE_PID_FILE");
    if (!pidFile) GTEST_SKIP() << "needs tests/support/with-pulseaudio";
    const pid_t daemon = std::stoi(readBytes(*pidFile));
    ASSERT_GT(daemon, 1);
    TempFolder folder;
    const auto longWave = writeWave(folder, "long.wav", 3.0);
    const auto shortWave = writeWave(folder, "short.wav", 0.1);

    std::thread killer([daemon] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        kill(daemon, SIGKILL);
    });
    const auto start = Clock::now();
    const PlayResult result = PulseSoundPlayer().play(longWave);
    const double elapsed = secondsSince(start);
    killer.join();

    EXPECT_EQ(result.code, PulseSoundPlayer::kPlaybackFailed);
    EXPECT_NE(result.errorText.find("Connection terminated"), std::string::npos)
        << result.errorText;
    EXPECT_NE(result.errorText.find("long.wav"), std::string::npos) << result.errorText;
    EXPECT_LT(elapsed, 2.0);

    PlayResult again{PulseSoundPlayer::kCannotConnect, ""};
    for (const auto waitStart = Clock::now();
         again.code == PulseSoundPlayer::kCannotConnect && secondsSince(waitStart) < 5.0;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        again = PulseSoundPlayer().play(shortWave);
    }
    EXPECT_EQ(again.code, 0) << again.errorText;
}

}  // namespace
}  // namespace gaisan
