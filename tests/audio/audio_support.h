#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

// Sound files made here, so no test depends on the game's data, and the audio driver to use.

// SDL's silent driver, whatever the environment of the run says: no test may reach a real
// sound card, and the others in a run may have left another driver behind.
inline void UseSilentDriver() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

// Polls `condition` until it holds; false when a generous deadline passes first.
template <typename Condition> bool WaitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

inline void AppendLE(std::string *bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes->push_back(char((value >> (8 * i)) & 0xFF));
    }
}

// A PCM wave file: `silentSeconds` of silence, then `toneSeconds` of a 440 Hz sine at
// `amplitude` (of 32767), the same on every channel; `bits` is 8 or 16.
inline std::string WaveFile(int32_t rate, int32_t channels, int32_t bits, double silentSeconds,
                            double toneSeconds, int32_t amplitude = 16000)
{
    const auto silentFrames = int64_t(silentSeconds * rate);
    const auto frames = silentFrames + int64_t(toneSeconds * rate);
    std::string data;
    for (int64_t i = 0; i < frames; ++i) {
        const double wave = i < silentFrames ? 0.0 : std::sin(double(i) * 440.0 * 6.283185 / rate);
        const auto sample = int32_t(std::lround(wave * amplitude));
        for (int32_t c = 0; c < channels; ++c) {
            if (bits == 8) {
                AppendLE(&data, uint32_t(128 + sample / 256), 1);
            } else {
                AppendLE(&data, uint32_t(sample), 2);
            }
        }
    }
    const auto blockAlign = uint32_t(channels * bits / 8);
    std::string file = "RIFF";
    AppendLE(&file, uint32_t(36 + data.size()), 4);
    file += "WAVEfmt ";
    AppendLE(&file, 16, 4);
    AppendLE(&file, 1, 2);  // PCM
    AppendLE(&file, uint32_t(channels), 2);
    AppendLE(&file, uint32_t(rate), 4);
    AppendLE(&file, uint32_t(rate) * blockAlign, 4);
    AppendLE(&file, blockAlign, 2);
    AppendLE(&file, uint32_t(bits), 2);
    file += "data";
    AppendLE(&file, uint32_t(data.size()), 4);
    return file + data;
}

// A format-0 MIDI file holding one piano note for `seconds` (default tempo, 480 ticks a beat).
inline std::string MidiFile(double seconds)
{
    const auto ticks = uint32_t(seconds * 960.0);
    std::string track = {0, char(0xC0), 0, 0, char(0x90), 60, 100};
    // The delta time in four 7-bit groups, most significant first; leading ones may be 0.
    for (const int shift : {21, 14, 7}) {
        track += char(0x80 | ((ticks >> shift) & 0x7F));
    }
    track += char(ticks & 0x7F);
    track += {char(0x80), 60, 0, 0, char(0xFF), 0x2F, 0};
    std::string file = "MThd";
    file += {0, 0, 0, 6, 0, 0, 0, 1, 0x01, char(0xE0)};
    return file + "MTrk" + std::string{0, 0, 0, char(track.size())} + track;
}
