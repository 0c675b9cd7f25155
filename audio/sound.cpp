#include "audio/sound.h"

#include "console/console.h"
#include "console/registry.h"
#include "platform/audio.h"
#include "platform/file.h"

namespace {
uint32_t savedVolume = 0;

uint32_t LeftChannel(uint32_t volume) { return volume & 0xFFFF; }

uint32_t RightChannel(uint32_t volume) { return volume >> 16; }

// With 0 the command shows the volume rather than silencing; only the low 16 bits count, so
// 65536 silences.
void SetSoundVolume()
{
    const int32_t value = C_ArgInt();
    if (value == 0) {
        C_PrintValue("s_volume", float(LeftChannel(GetVolume())));
        return;
    }
    const uint32_t channel = uint32_t(value) & 0xFFFF;
    SetVolume(channel | (channel << 16));
}

void ReportSoundVolume() { C_ReportFloat(float(RightChannel(GetVolume()))); }
}  // namespace

Sound::~Sound() { P_FreeVoice(deviceId); }

bool Sound::Open(const char *path, int32_t kind)
{
    P_FreeVoice(deviceId);
    deviceId = 0;
    if (kind == SOUND_MPEG_VIDEO || kind == SOUND_SEQUENCER) {
        deviceId = P_LoadMusicInBackground(path);  // the menu shows before the music is ready
    } else if (kind == SOUND_WAVE_AUDIO) {
        deviceId = P_LoadWaveLater(path);  // decoded once the menu shows: DecodeSounds
    }
    // Only the file's presence is reported: a file the mixer cannot decode still counts as loaded.
    if (!P_FileReadable(path)) {
        C_Print("Warning: Sound: couldn't open \"", path, "\"\n", nullptr);
        return false;
    }
    C_Print("Sound: \"", path, "\" loaded succesful.\n", nullptr);
    return true;
}

bool Sound::Play(bool rewind, bool)
{
    P_PlayVoice(deviceId, rewind);
    return true;
}

bool Sound::Pause(bool)
{
    P_PauseVoice(deviceId);
    return true;
}

bool Sound::Stop(bool)
{
    P_StopVoice(deviceId);
    return true;
}

bool Sound::SeekTo(uint32_t position, bool)
{
    P_SeekVoice(deviceId, position);
    return Play(false, false);
}

bool Sound::SeekToFraction(double fraction, bool notify)
{
    // Held to 0..1 (NaN counts as 0): outside it the product would not fit the position.
    const double held = fraction > 1.0 ? 1.0 : (fraction > 0.0 ? fraction : 0.0);
    return SeekTo(uint32_t(double(Length()) * held), notify);
}

uint32_t Sound::Length() const { return P_VoiceLength(deviceId); }

uint32_t Sound::Position() const { return P_VoicePosition(deviceId); }

bool Sound::Finished() const
{
    return !P_VoicePlaying(deviceId) && !P_VoicePaused(deviceId) && P_VoicePosition(deviceId) > 0;
}

uint32_t GetVolume() { return P_GetOutputVolume(); }

void SetVolume(uint32_t volume) { P_SetOutputVolume(volume); }

void InitSound()
{
    P_OpenAudio();
    C_AddCommand("s_volume", SetSoundVolume, ReportSoundVolume);
    savedVolume = GetVolume();
    C_Print("   DirectSound Initialized!\n", nullptr);
}

void DecodeSounds() { P_DecodeWaitingWaves(); }

void ShutdownSound()
{
    SetVolume(savedVolume);
    P_CloseAudio();
}
