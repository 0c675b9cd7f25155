#pragma once

#include <cstddef>
#include <cstdint>

// The audio device and its voices. A voice is one loaded sound with one play position: a wave
// voice plays on a mixer channel of its own, a music voice on the mixer's single music stream
// (starting one music voice stops another). Handles are never 0 and go stale when the voice is
// freed or the device closes; a stale or 0 handle makes every call a harmless no-op, as does
// every call while there is no device. Positions and lengths are in milliseconds.

// Opens the device if it is not open: true when it is. Without one, prints one line on stderr
// and the game runs silently.
bool P_OpenAudio();

// Stops everything, releases every voice and closes the device. Safe when it was never opened;
// loading a voice afterwards does not reopen it, only P_OpenAudio does.
void P_CloseAudio();

// Loads a whole file for a wave voice or a music voice. Opens the device first if nothing has
// tried to yet. 0 when there is no device, no free voice or the file cannot be decoded.
uint32_t P_LoadVoice(const char *path, bool music);

// Loads a music voice as P_LoadVoice does, but decodes it on a worker thread and returns at once.
// The first call that uses the voice waits for the decoding if it is still running; a file that
// could not be decoded then leaves a stale handle. 0 when there is no device or no free voice.
uint32_t P_LoadMusicInBackground(const char *path);

// Loads a wave voice as P_LoadVoice does, but decodes the file only at P_DecodeWaitingWaves or
// when a call first uses the voice; a file that cannot be decoded then leaves a stale handle. 0
// when there is no device or no free voice. The path is copied.
uint32_t P_LoadWaveLater(const char *path);

// Decodes every wave voice still waiting.
void P_DecodeWaitingWaves();

// Stops the voice and releases what it loaded.
void P_FreeVoice(uint32_t voice);

// With `rewind`, goes back to the start first. Then plays from the current position: a paused
// voice resumes, a playing voice carries on, and a voice that ran to its end stays silent.
void P_PlayVoice(uint32_t voice, bool rewind);

// Holds a playing voice where it is; a later P_PlayVoice without rewind continues from there.
void P_PauseVoice(uint32_t voice);

// Stops the voice and puts it back at the start.
void P_StopVoice(uint32_t voice);

// Stops the voice and puts it at `position`, at most its length. Music whose format cannot
// seek plays from the start instead.
void P_SeekVoice(uint32_t voice, uint32_t position);

// 0 when unknown, as for MIDI music.
uint32_t P_VoiceLength(uint32_t voice);

// Where a held voice stands, or how far a playing one has got (by the clock where the mixer
// cannot tell).
uint32_t P_VoicePosition(uint32_t voice);

// Whether the mixer is sounding the voice now (paused or finished voices are not playing).
bool P_VoicePlaying(uint32_t voice);
bool P_VoicePaused(uint32_t voice);

// Number of voices the mixer is sounding now.
int32_t P_VoicesPlaying();

// The game's own output volume: left channel in the low 16 bits, right in the high 16 bits,
// 0 silent and 65535 full. Full at start; 0 while there is no device, where setting it does
// nothing. It lasts for the whole process, across closing and reopening the device.
uint32_t P_GetOutputVolume();
void P_SetOutputVolume(uint32_t volume);

// Scales `frameCount` interleaved left/right 16-bit frames by `volume` as above.
void P_ScaleStereo16(int16_t *samples, size_t frameCount, uint32_t volume);
