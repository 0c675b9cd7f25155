#pragma once

#include <cstdint>

// Sound effects and music. Each Sound is one file with one voice of its own: playing it again
// with rewind restarts it, pausing keeps its place. Without an audio device, or for a file that
// cannot be decoded, a Sound stays silent and every call on it does nothing. The notify
// parameters are kept for callers but nothing listens for the end of a sound.
// The kinds Sound::Open takes.
constexpr int32_t SOUND_MPEG_VIDEO = 1;
constexpr int32_t SOUND_WAVE_AUDIO = 2;
constexpr int32_t SOUND_SEQUENCER = 3;

class Sound {
public:
    Sound() = default;
    // Releases the voice; safe at program exit, also after ShutdownSound or without any device.
    ~Sound();
    Sound(const Sound &) = delete;
    Sound &operator=(const Sound &) = delete;

    // Loads `path` for `kind` (1 and 3 on the music stream, 2 as a wave effect; other kinds load
    // nothing) and reports on the console whether the file exists, which is also the result.
    // The path is not kept.
    bool Open(const char *path, int32_t kind);
    // With `rewind` from the start, otherwise from where the sound stands.
    bool Play(bool rewind, bool notify);
    bool Pause(bool notify);
    // Back to the start, silent.
    bool Stop(bool notify);
    // Plays from `position` milliseconds (at most the length).
    bool SeekTo(uint32_t position, bool notify);
    // Plays from this fraction of the length, held to 0..1.
    bool SeekToFraction(double fraction, bool notify);
    // In milliseconds; 0 when unknown or silent.
    uint32_t Length() const;
    uint32_t Position() const;
    // True once the sound has played to its end by itself: not before it ever played, not
    // while it plays or is paused, not after a rewind.
    bool Finished() const;

private:
    uint32_t deviceId = 0;  // the platform's voice; 0 when nothing could be loaded
};

// The game's output volume: left channel in the low 16 bits, right in the high 16 bits, each
// 0 silent to 65535 full. 0 without an audio device, where setting it does nothing.
uint32_t GetVolume();
void SetVolume(uint32_t volume);

// Opens the audio device, registers s_volume and remembers the volume for ShutdownSound.
void InitSound();

// Decodes the wave effects opened so far: Sound::Open only names them, so that the first picture
// need not wait for them. A Sound played before this decodes its own file then.
void DecodeSounds();

// Puts back the volume InitSound found and closes the audio device: nothing plays after it.
void ShutdownSound();
