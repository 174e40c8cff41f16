#include "platform/PulseSoundPlayer.h"

#include <pulse/error.h>
#include <pulse/sample.h>
#include <pulse/simple.h>
#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gaisan {
namespace {

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

struct ConnectionCloser {
    void operator()(pa_simple* connection) const { pa_simple_free(connection); }
};
using Connection = std::unique_ptr<pa_simple, ConnectionCloser>;

// About ten writes per second of sound at 44.1 kHz; the buffer is at most 256 KiB, even with as
// many channels as PulseAudio accepts.
constexpr sf_count_t kChunkFrames = 4096;

PlayResult failure(int code, std::string_view what, const std::filesystem::path& file,
                   std::string_view detail) {
    std::string text(what);
    text += "（";
    text += file.string();
    text += "）: ";
    text += detail;
    return {code, std::move(text)};
}

PlayResult readFailure(SNDFILE* file, const std::filesystem::path& waveFile) {
    return failure(PulseSoundPlayer::kCannotReadFile, "音声ファイルを読めません", waveFile,
                   sf_strerror(file));
}

}  // namespace

PlayResult PulseSoundPlayer::play(const std::filesystem::path& waveFile) {
    SF_INFO info{};
    SoundFile file(sf_open(waveFile.c_str(), SFM_READ, &info));
    if (!file) {
        return failure(kCannotReadFile, "音声ファイルを開けません", waveFile, sf_strerror(nullptr));
    }
    // Checked before narrowing into PulseAudio's sample format, whose channel count is a single
    // byte: a header claiming 258 channels must not turn into a 2-channel stream of garbage.
    if (info.channels < 1 || static_cast<unsigned>(info.channels) > PA_CHANNELS_MAX ||
        info.samplerate < 1 || static_cast<unsigned>(info.samplerate) > PA_RATE_MAX) {
        return failure(kCannotReadFile, "この形式の音声は再生できません", waveFile,
                       std::to_string(info.samplerate) + " Hz, " + std::to_string(info.channels) +
                           " channels");
    }
    // Without this, floating-point files come out of sf_readf_short as values of -1..1: silence.
    sf_command(file.get(), SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);

    const auto channels = static_cast<std::size_t>(info.channels);
    std::vector<short> chunk(static_cast<std::size_t>(kChunkFrames) * channels);
    auto readChunk = [&]() { return sf_readf_short(file.get(), chunk.data(), kChunkFrames); };

    // The first chunk is read before connecting, so that a file that breaks at once is reported
    // as the file's fault and an empty file needs no server at all.
    sf_count_t frames = readChunk();
    if (frames <= 0) {
        if (sf_error(file.get()) != SF_ERR_NO_ERROR) return readFailure(file.get(), waveFile);
        return {};
    }

    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16NE;  // what sf_readf_short gives: host-order 16-bit samples
    sampleFormat.rate = static_cast<std::uint32_t>(info.samplerate);
    sampleFormat.channels = static_cast<std::uint8_t>(info.channels);
    int error = 0;
    Connection connection(pa_simple_new(nullptr, "gaisan", PA_STREAM_PLAYBACK, nullptr, "cue",
                                        &sampleFormat, nullptr, nullptr, &error));
    if (!connection) {
        return failure(kCannotConnect, "サウンドサーバーに接続できません", waveFile,
                       pa_strerror(error));
    }

    while (frames > 0) {
        const auto bytes = static_cast<std::size_t>(frames) * channels * sizeof(short);
        if (pa_simple_write(connection.get(), chunk.data(), bytes, &error) < 0) {
            return failure(kPlaybackFailed, "音を再生できませんでした", waveFile,
                           pa_strerror(error));
        }
        frames = readChunk();
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) return readFailure(file.get(), waveFile);

    // Writing returns as soon as the server has buffered the data; only the drain waits for the
    // sound to end, and it is also where a server that died after the last write shows up.
    if (pa_simple_drain(connection.get(), &error) < 0) {
        return failure(kPlaybackFailed, "音を再生できませんでした", waveFile, pa_strerror(error));
    }
    return {};
}

}  // namespace gaisan
