#include "platform/audio.h"

#include "platform/file.h"
#include "platform/sdl_settings.h"
#include "platform/timer.h"

#include <atomic>
#include <cstdio>
#include <future>
#include <string>

namespace {
constexpr int32_t MAX_VOICES = P_MIX_VOICES;
constexpr char FALLBACK_SOUNDFONT[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr uint32_t FULL_VOLUME = 0xFFFFFFFF;

enum class DeviceState : uint8_t { UNTRIED, OPEN, CLOSED };

enum class VoiceState : uint8_t {
    STOPPED,
    RUNNING,
    PAUSED,
    FINISHED,  // ran to its end; only a rewind or a seek makes it play again
};

struct Voice {
    Mix_Chunk *chunk;  // wave voices: the whole sound in the device format, owned
    Mix_Music *music;  // music voices, owned
    Mix_Chunk view;    // what the channel plays: `chunk` from the play position on
    uint32_t length;
    uint32_t position;  // where the voice stands, or where its current run began
    uint32_t runStart;  // P_Ticks at the start of the current run
    VoiceState state;
    uint16_t generation;  // tells a stale handle from the voice now in the slot
    bool used;
};

DeviceState deviceState = DeviceState::UNTRIED;
int deviceRate = P_MIX_RATE;
uint32_t deviceFrameBytes = 4;
Voice voices[MAX_VOICES];  // slot i plays on mixer channel i
int32_t musicOwner = -1;   // slot of the voice on the music stream
// Read by the mixer on the audio thread, set by the console on the game's.
std::atomic<uint32_t> outputVolume{FULL_VOLUME};
// Music being decoded on a worker thread, by slot. The worker only decodes: the voice itself is
// the game thread's, and takes the result in ClaimLoadedVoice.
std::future<Mix_Music *> musicLoads[MAX_VOICES];
// Wave files not decoded yet, by slot: decoded by P_DecodeWaitingWaves or by the first call that
// uses the voice, whichever comes first.
std::string waitingWaves[MAX_VOICES];

int32_t Slot(const Voice &voice) { return int32_t(&voice - voices); }

uint32_t SecondsToMilliseconds(double seconds)
{
    if (!(seconds > 0.0)) {
        return 0;
    }
    return seconds < 4.0e6 ? uint32_t(seconds * 1000.0) : 4000000000u;
}

uint32_t ChunkMilliseconds(const Mix_Chunk &chunk)
{
    return uint32_t(uint64_t(chunk.alen / deviceFrameBytes) * 1000 / uint64_t(deviceRate));
}

// Byte offset of `position` in a chunk, on a frame boundary.
uint64_t ChunkOffset(uint32_t position)
{
    return uint64_t(position) * uint64_t(deviceRate) / 1000 * deviceFrameBytes;
}

bool OnMusicStream(const Voice &voice)
{
    return voice.music != nullptr && musicOwner == Slot(voice);
}

bool MixerPlaying(const Voice &voice)
{
    if (voice.chunk != nullptr) {
        return Mix_Playing(Slot(voice)) != 0;
    }
    return OnMusicStream(voice) && Mix_PlayingMusic() != 0;
}

bool MixerPaused(const Voice &voice)
{
    if (voice.chunk != nullptr) {
        return Mix_Paused(Slot(voice)) != 0;
    }
    // The mixer keeps reporting a halted stream as paused.
    return Mix_PausedMusic() != 0;
}

uint32_t RunningPosition(const Voice &voice)
{
    if (voice.music != nullptr) {
        const double seconds = Mix_GetMusicPosition(voice.music);
        if (seconds >= 0.0) {
            return SecondsToMilliseconds(seconds);
        }
    }
    const uint64_t at = uint64_t(voice.position) + (P_Ticks() - voice.runStart);
    if (voice.length > 0 && at > voice.length) {
        return voice.length;
    }
    return at < UINT32_MAX ? uint32_t(at) : UINT32_MAX;
}

// Notices a run that ended by itself.
void Settle(Voice &voice)
{
    if (voice.state == VoiceState::RUNNING && !MixerPlaying(voice)) {
        voice.position = voice.length > 0 ? voice.length : RunningPosition(voice);
        voice.state = VoiceState::FINISHED;
    }
}

uint32_t CurrentPosition(Voice &voice)
{
    Settle(voice);
    return voice.state == VoiceState::RUNNING ? RunningPosition(voice) : voice.position;
}

void Halt(Voice &voice)
{
    if (voice.chunk != nullptr) {
        Mix_HaltChannel(Slot(voice));
    } else if (OnMusicStream(voice)) {
        Mix_HaltMusic();
        musicOwner = -1;
    }
}

bool StartChunk(Voice &voice)
{
    const int channel = Slot(voice);
    const uint64_t offset = ChunkOffset(voice.position);
    if (offset >= voice.chunk->alen) {
        return false;
    }
    // The channel reads the view while it plays, so it must be silent while the view changes.
    Mix_HaltChannel(channel);
    voice.view = *voice.chunk;
    voice.view.allocated = 0;
    voice.view.abuf += offset;
    voice.view.alen -= uint32_t(offset);
    return Mix_PlayChannel(channel, &voice.view, 0) == channel;
}

bool StartMusic(Voice &voice)
{
    if (musicOwner >= 0 && musicOwner != Slot(voice)) {
        // The stream is shared: the voice on it now stops where it stands.
        Voice &previous = voices[musicOwner];
        if (previous.state == VoiceState::RUNNING || previous.state == VoiceState::PAUSED) {
            previous.position = CurrentPosition(previous);
            if (previous.state != VoiceState::FINISHED) {
                previous.state = VoiceState::STOPPED;
            }
        }
        Mix_HaltMusic();
    }
    musicOwner = -1;
    bool started = false;
    if (voice.position > 0) {
        started = Mix_FadeInMusicPos(voice.music, 0, 0, voice.position / 1000.0) == 0;
    }
    if (!started) {
        voice.position = 0;  // formats that cannot seek, such as MIDI, start over
        started = Mix_PlayMusic(voice.music, 0) == 0;
    }
    if (started) {
        musicOwner = Slot(voice);
    }
    return started;
}

void Start(Voice &voice)
{
    if (voice.length > 0 && voice.position >= voice.length) {
        voice.position = voice.length;
        voice.state = VoiceState::FINISHED;
        return;
    }
    const bool started = voice.chunk != nullptr ? StartChunk(voice) : StartMusic(voice);
    if (!started) {
        voice.position = voice.length > 0 ? voice.length : voice.position;
        voice.state = VoiceState::FINISHED;
        return;
    }
    voice.runStart = P_Ticks();
    voice.state = VoiceState::RUNNING;
}

void FreeSlot(Voice &voice)
{
    std::future<Mix_Music *> &load = musicLoads[Slot(voice)];
    if (load.valid()) {
        voice.music = load.get();  // a decoding still running is waited for, never left behind
    }
    waitingWaves[Slot(voice)].clear();
    // Halt first: the channel plays the view, which freeing the chunk would not stop.
    Halt(voice);
    if (voice.chunk != nullptr) {
        Mix_FreeChunk(voice.chunk);
    }
    if (voice.music != nullptr) {
        Mix_FreeMusic(voice.music);
    }
    const uint16_t generation = uint16_t(voice.generation + 1);
    voice = Voice{};
    voice.generation = generation;
}

void SDLCALL ScaleOutput(void *, Uint8 *stream, int length)
{
    const uint32_t volume = outputVolume.load(std::memory_order_relaxed);
    if (volume != FULL_VOLUME && length > 0) {
        P_ScaleStereo16(reinterpret_cast<int16_t *>(stream), size_t(length) / 4, volume);
    }
}

// Gives the voice its decoded sound and length; false, leaving it without one, when decoding
// failed (null).
bool TakeChunk(Voice &voice, Mix_Chunk *chunk)
{
    voice.chunk = chunk;
    if (chunk != nullptr) {
        voice.length = ChunkMilliseconds(*chunk);
    }
    return chunk != nullptr;
}

bool TakeMusic(Voice &voice, Mix_Music *music)
{
    voice.music = music;
    if (music != nullptr) {
        voice.length = SecondsToMilliseconds(Mix_MusicDuration(music));
    }
    return music != nullptr;
}

// The one point where a voice loaded later gets its sound: decodes a waiting wave file, or waits
// for the worker's music if it is still being decoded. A file that could not be decoded frees the
// voice, whose handle then goes stale. False when the voice is gone.
bool ClaimLoadedVoice(Voice &voice)
{
    std::string &wave = waitingWaves[Slot(voice)];
    std::future<Mix_Music *> &load = musicLoads[Slot(voice)];
    bool decoded = true;
    if (!wave.empty()) {
        decoded = TakeChunk(voice, Mix_LoadWAV(wave.c_str()));
        wave.clear();
    } else if (load.valid()) {
        decoded = TakeMusic(voice, load.get());
    }
    if (!decoded) {
        FreeSlot(voice);
    }
    return decoded;
}

Voice *FindVoice(uint32_t handle)
{
    const uint32_t slot = (handle & 0xFF) - 1;  // handle 0 wraps out of range
    if (slot >= uint32_t(MAX_VOICES)) {
        return nullptr;
    }
    Voice &voice = voices[slot];
    if (!voice.used || voice.generation != (handle >> 8) || !ClaimLoadedVoice(voice)) {
        return nullptr;
    }
    return &voice;
}

uint32_t Handle(const Voice &voice)
{
    return (uint32_t(voice.generation) << 8) | uint32_t(Slot(voice) + 1);
}

// An unused voice slot, opening the device first if nothing has tried to yet; null without a
// device or a free slot.
Voice *FreeVoice()
{
    if (deviceState == DeviceState::UNTRIED) {
        P_OpenAudio();
    }
    if (deviceState != DeviceState::OPEN) {
        return nullptr;
    }
    for (Voice &candidate : voices) {
        if (!candidate.used) {
            return &candidate;
        }
    }
    return nullptr;
}

// MIDI needs a soundfont; the system's default is normally there, this one comes with it.
void UseSoundFont()
{
    const char *const fonts = Mix_GetSoundFonts();
    char first[512] = "";
    if (fonts != nullptr) {
        int length = 0;
        while (fonts[length] != '\0' && fonts[length] != ';') {
            ++length;
        }
        snprintf(first, sizeof first, "%.*s", length, fonts);
    }
    if (first[0] == '\0' || !P_FileReadable(first)) {
        Mix_SetSoundFonts(FALLBACK_SOUNDFONT);
    }
}
}  // namespace

bool P_OpenAudio()
{
    if (deviceState == DeviceState::OPEN) {
        return true;
    }
    deviceState = DeviceState::CLOSED;  // loading a voice does not try again
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        fprintf(stderr, "Sound: no audio device, playing silently (%s)\n", SDL_GetError());
        return false;
    }
    Mix_Init(MIX_INIT_MID);  // without it only the music stays silent
    if (P_OpenMixerDevice() != 0) {
        fprintf(stderr, "Sound: no audio device, playing silently (%s)\n", SDL_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    int rate = P_MIX_RATE;
    Uint16 format = MIX_DEFAULT_FORMAT;
    int channels = P_MIX_CHANNELS;
    Mix_QuerySpec(&rate, &format, &channels);
    deviceRate = rate > 0 ? rate : P_MIX_RATE;
    deviceFrameBytes = uint32_t(SDL_AUDIO_BITSIZE(format) / 8 * channels);
    Mix_AllocateChannels(MAX_VOICES);
    Mix_ReserveChannels(MAX_VOICES);
    UseSoundFont();
    if (format == AUDIO_S16SYS && channels == 2) {
        Mix_SetPostMix(ScaleOutput, nullptr);
    }
    deviceState = DeviceState::OPEN;
    return true;
}

void P_CloseAudio()
{
    if (deviceState != DeviceState::OPEN) {
        deviceState = DeviceState::CLOSED;
        return;
    }
    for (Voice &voice : voices) {
        if (voice.used) {
            FreeSlot(voice);
        }
    }
    Mix_SetPostMix(nullptr, nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    deviceState = DeviceState::CLOSED;
}

uint32_t P_LoadVoice(const char *path, bool music)
{
    Voice *const voice = FreeVoice();
    if (voice == nullptr) {
        return 0;
    }
    if (!(music ? TakeMusic(*voice, Mix_LoadMUS(path)) : TakeChunk(*voice, Mix_LoadWAV(path)))) {
        return 0;
    }
    voice->used = true;
    return Handle(*voice);
}

uint32_t P_LoadMusicInBackground(const char *path)
{
    Voice *const voice = FreeVoice();
    if (voice == nullptr) {
        return 0;
    }
    // The soundfont and the decoding take longer than the whole rest of the start-up.
    musicLoads[Slot(*voice)] = std::async(std::launch::async, [file = std::string(path)] {
        Mix_Music *const music = Mix_LoadMUS(file.c_str());
        // SDL keeps state (its error text) for a thread it did not start until told it has ended.
        SDL_TLSCleanup();
        return music;
    });
    voice->used = true;
    return Handle(*voice);
}

uint32_t P_LoadWaveLater(const char *path)
{
    Voice *const voice = FreeVoice();
    if (voice == nullptr) {
        return 0;
    }
    waitingWaves[Slot(*voice)] = path;
    voice->used = true;
    return Handle(*voice);
}

void P_DecodeWaitingWaves()
{
    for (Voice &voice : voices) {
        if (voice.used && !waitingWaves[Slot(voice)].empty()) {
            ClaimLoadedVoice(voice);
        }
    }
}

void P_FreeVoice(uint32_t handle)
{
    Voice *const voice = FindVoice(handle);
    if (voice != nullptr) {
        FreeSlot(*voice);
    }
}

void P_PlayVoice(uint32_t handle, bool rewind)
{
    Voice *const voice = FindVoice(handle);
    if (voice == nullptr) {
        return;
    }
    if (rewind) {
        Halt(*voice);
        voice->position = 0;
        voice->state = VoiceState::STOPPED;
    }
    Settle(*voice);
    switch (voice->state) {
    case VoiceState::RUNNING:
    case VoiceState::FINISHED:
        break;
    case VoiceState::PAUSED:
        if (voice->chunk != nullptr) {
            Mix_Resume(Slot(*voice));
        } else if (OnMusicStream(*voice)) {
            Mix_ResumeMusic();
        }
        voice->runStart = P_Ticks();
        voice->state = VoiceState::RUNNING;
        break;
    case VoiceState::STOPPED:
        Start(*voice);
        break;
    }
}

void P_PauseVoice(uint32_t handle)
{
    Voice *const voice = FindVoice(handle);
    if (voice == nullptr) {
        return;
    }
    Settle(*voice);
    if (voice->state != VoiceState::RUNNING) {
        return;
    }
    voice->position = RunningPosition(*voice);
    if (voice->chunk != nullptr) {
        Mix_Pause(Slot(*voice));
    } else {
        Mix_PauseMusic();
    }
    voice->state = VoiceState::PAUSED;
}

void P_StopVoice(uint32_t handle) { P_SeekVoice(handle, 0); }

void P_SeekVoice(uint32_t handle, uint32_t position)
{
    Voice *const voice = FindVoice(handle);
    if (voice == nullptr) {
        return;
    }
    Halt(*voice);
    // Music of unknown length takes any position; starting it finds out.
    const bool bounded = voice->chunk != nullptr || voice->length > 0;
    voice->position = bounded && position > voice->length ? voice->length : position;
    voice->state = VoiceState::STOPPED;
}

uint32_t P_VoiceLength(uint32_t handle)
{
    const Voice *const voice = FindVoice(handle);
    return voice != nullptr ? voice->length : 0;
}

uint32_t P_VoicePosition(uint32_t handle)
{
    Voice *const voice = FindVoice(handle);
    return voice != nullptr ? CurrentPosition(*voice) : 0;
}

bool P_VoicePlaying(uint32_t handle)
{
    const Voice *const voice = FindVoice(handle);
    return voice != nullptr && MixerPlaying(*voice) && !MixerPaused(*voice);
}

bool P_VoicePaused(uint32_t handle)
{
    const Voice *const voice = FindVoice(handle);
    return voice != nullptr && MixerPlaying(*voice) && MixerPaused(*voice);
}

int32_t P_VoicesPlaying()
{
    int32_t count = 0;
    for (const Voice &voice : voices) {
        if (voice.used && MixerPlaying(voice) && !MixerPaused(voice)) {
            ++count;
        }
    }
    return count;
}

uint32_t P_GetOutputVolume() { return deviceState == DeviceState::OPEN ? outputVolume.load() : 0; }

void P_SetOutputVolume(uint32_t volume)
{
    if (deviceState == DeviceState::OPEN) {
        outputVolume.store(volume);
    }
}

void P_ScaleStereo16(int16_t *samples, size_t frameCount, uint32_t volume)
{
    const int32_t left = int32_t(volume & 0xFFFF);
    const int32_t right = int32_t(volume >> 16);
    for (size_t i = 0; i < frameCount; ++i) {
        // 65535 leaves a sample exactly as it was; the product stays inside 32 bits.
        samples[2 * i] = int16_t(samples[2 * i] * left / 65535);
        samples[2 * i + 1] = int16_t(samples[2 * i + 1] * right / 65535);
    }
}
