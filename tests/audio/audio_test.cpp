#include "platform/audio.h"

#include "platform/timer.h"
#include "tests/audio/audio_support.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
class VoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        P_CloseAudio();
        UseSilentDriver();
        ASSERT_TRUE(P_OpenAudio());
    }
    void TearDown() override { P_CloseAudio(); }

    uint32_t Load(const std::string &name, const std::string &bytes, bool music)
    {
        return P_LoadVoice(dir.Write(name, bytes).c_str(), music);
    }

    TempDir dir;
};

TEST_F(VoiceTest, PauseHoldsThePlaceAndPlayResumes)
{
    const uint32_t voice = Load("long.wav", WaveFile(8000, 1, 8, 30.0, 0.0), false);
    ASSERT_NE(voice, 0u);
    EXPECT_FALSE(P_VoicePlaying(voice));

    P_SeekVoice(voice, 20000);
    EXPECT_FALSE(P_VoicePlaying(voice));
    EXPECT_EQ(P_VoicePosition(voice), 20000u);
    P_PlayVoice(voice, false);
    EXPECT_TRUE(P_VoicePlaying(voice));
    EXPECT_FALSE(P_VoicePaused(voice));

    P_PauseVoice(voice);
    EXPECT_FALSE(P_VoicePlaying(voice));
    EXPECT_TRUE(P_VoicePaused(voice));
    const uint32_t held = P_VoicePosition(voice);
    EXPECT_GE(held, 20000u);
    const uint32_t pausedAt = P_Ticks();
    ASSERT_TRUE(WaitFor([&] { return P_Ticks() - pausedAt > 50; }));
    EXPECT_EQ(P_VoicePosition(voice), held);

    P_PlayVoice(voice, false);
    EXPECT_TRUE(P_VoicePlaying(voice));
    EXPECT_GE(P_VoicePosition(voice), held);

    P_PlayVoice(voice, true);
    EXPECT_TRUE(P_VoicePlaying(voice));
    EXPECT_LT(P_VoicePosition(voice), 20000u);

    // Each wave has a channel of its own: another one playing leaves this one's pause alone.
    const uint32_t other = Load("other.wav", WaveFile(8000, 1, 8, 30.0, 0.0), false);
    P_PauseVoice(voice);
    P_PlayVoice(other, true);
    EXPECT_TRUE(P_VoicePaused(voice));
    EXPECT_EQ(P_VoicesPlaying(), 1);

    P_PauseVoice(voice);
    P_StopVoice(voice);
    EXPECT_FALSE(P_VoicePlaying(voice));
    EXPECT_FALSE(P_VoicePaused(voice));
    EXPECT_EQ(P_VoicePosition(voice), 0u);
}

// As a media device does, a sound that played to its end stays there until rewound.
TEST_F(VoiceTest, AFinishedVoiceStaysAtItsEnd)
{
    const uint32_t voice = Load("short.wav", WaveFile(22050, 1, 8, 0.0, 0.1), false);
    ASSERT_NE(voice, 0u);
    P_PlayVoice(voice, false);
    ASSERT_TRUE(WaitFor([&] { return !P_VoicePlaying(voice); }));
    EXPECT_EQ(P_VoicePosition(voice), P_VoiceLength(voice));
    P_PlayVoice(voice, false);
    EXPECT_FALSE(P_VoicePlaying(voice));
    P_PlayVoice(voice, true);
    EXPECT_TRUE(P_VoicePlaying(voice));

    for (const uint32_t position : {P_VoiceLength(voice), 4000000000u}) {
        SCOPED_TRACE(position);
        P_SeekVoice(voice, position);
        EXPECT_EQ(P_VoicePosition(voice), P_VoiceLength(voice));
        P_PlayVoice(voice, false);
        EXPECT_FALSE(P_VoicePlaying(voice));
    }
}

TEST_F(VoiceTest, MusicVoicesShareOneStream)
{
    const std::string midi = MidiFile(30.0);
    const uint32_t music = Load("music.mid", midi, true);
    const uint32_t other = Load("other.mid", midi, true);
    const uint32_t effect = Load("effect.wav", WaveFile(8000, 1, 8, 30.0, 0.0), false);
    ASSERT_NE(music, 0u);
    ASSERT_NE(other, 0u);

    P_PlayVoice(music, false);
    P_PlayVoice(effect, false);
    EXPECT_TRUE(P_VoicePlaying(music));
    P_PauseVoice(music);
    EXPECT_TRUE(P_VoicePaused(music));
    EXPECT_TRUE(P_VoicePlaying(effect));
    P_PlayVoice(music, false);
    EXPECT_TRUE(P_VoicePlaying(music));

    P_PlayVoice(other, false);
    EXPECT_TRUE(P_VoicePlaying(other));
    EXPECT_FALSE(P_VoicePlaying(music));
    EXPECT_FALSE(P_VoicePaused(music));
    P_PauseVoice(music);  // not on the stream: must not pause the other
    EXPECT_TRUE(P_VoicePlaying(other));
    P_PlayVoice(music, false);
    EXPECT_TRUE(P_VoicePlaying(music));
    EXPECT_FALSE(P_VoicePlaying(other));
}

// Music decoded on a worker plays as if loaded at once; a file that cannot be loaded gives its
// slot back on first use, so failed loads cannot use up the voices.
TEST_F(VoiceTest, MusicLoadedInTheBackground)
{
    const uint32_t music = P_LoadMusicInBackground(dir.Write("music.mid", MidiFile(30.0)).c_str());
    ASSERT_NE(music, 0u);
    P_PlayVoice(music, false);
    EXPECT_TRUE(P_VoicePlaying(music));

    const std::string broken = dir.Path("missing.mid");
    for (int32_t i = 0; i < 100; ++i) {  // more than the device has voices
        SCOPED_TRACE(i);
        const uint32_t voice = P_LoadMusicInBackground(broken.c_str());
        ASSERT_NE(voice, 0u);
        P_PlayVoice(voice, true);
        EXPECT_FALSE(P_VoicePlaying(voice));
        EXPECT_EQ(P_VoiceLength(voice), 0u);
    }
    EXPECT_TRUE(P_VoicePlaying(music));

    // Closing the device while a decoding still runs waits for it rather than racing it.
    EXPECT_NE(P_LoadMusicInBackground(dir.Path("music.mid").c_str()), 0u);
    P_CloseAudio();
    EXPECT_EQ(P_VoicesPlaying(), 0);
}

// A wave named now and decoded later plays as one loaded at once, whether P_DecodeWaitingWaves
// or its first use decodes it; a file that cannot be read gives its slot back either way.
TEST_F(VoiceTest, WavesDecodedLater)
{
    const std::string wave = dir.Write("tone.wav", WaveFile(8000, 1, 8, 0.0, 2.0));
    for (const bool decodeFirst : {true, false}) {
        SCOPED_TRACE(decodeFirst ? "decoded with the others" : "decoded by its first use");
        const uint32_t voice = P_LoadWaveLater(wave.c_str());
        ASSERT_NE(voice, 0u);
        if (decodeFirst) {
            P_DecodeWaitingWaves();
        }
        EXPECT_NEAR(double(P_VoiceLength(voice)), 2000.0, 1.0);
        P_PlayVoice(voice, true);
        EXPECT_TRUE(P_VoicePlaying(voice));
        P_FreeVoice(voice);

        const std::string missing = dir.Path("missing.wav");
        for (int32_t i = 0; i < 100; ++i) {  // more than the device has voices
            const uint32_t lost = P_LoadWaveLater(missing.c_str());
            ASSERT_NE(lost, 0u) << i;
            if (decodeFirst) {
                P_DecodeWaitingWaves();
            }
            P_PlayVoice(lost, true);
            EXPECT_FALSE(P_VoicePlaying(lost));
        }
    }
}

TEST_F(VoiceTest, StaleHandlesDoNothing)
{
    const std::string wave = WaveFile(8000, 1, 8, 30.0, 0.0);
    const uint32_t freed = Load("a.wav", wave, false);
    P_FreeVoice(freed);
    const uint32_t live = Load("b.wav", wave, false);
    ASSERT_NE(live, 0u);
    EXPECT_NE(live, freed);
    P_PlayVoice(freed, true);
    P_FreeVoice(freed);
    EXPECT_EQ(P_VoicesPlaying(), 0);
    P_PlayVoice(live, true);
    EXPECT_TRUE(P_VoicePlaying(live));

    P_CloseAudio();
    EXPECT_EQ(P_LoadVoice(dir.Path("b.wav").c_str(), false), 0u);  // closed stays closed
    for (const uint32_t voice : {0u, freed, live}) {
        P_PlayVoice(voice, true);
        P_SeekVoice(voice, 10);
        P_PauseVoice(voice);
        P_FreeVoice(voice);
        EXPECT_EQ(P_VoicePosition(voice), 0u);
        EXPECT_FALSE(P_VoicePlaying(voice));
    }
}

// The disk driver writes what the device would play: S16 stereo at 44100 Hz.
TEST(DiskOutputTest, SoundIsHeardAndTheVolumeScalesIt)
{
    constexpr size_t FRAME = 4;
    constexpr size_t BLOCK = 1024 * FRAME;  // one device buffer
    constexpr size_t MARGIN = 4 * BLOCK;    // mixed before a change but written after it
    constexpr size_t WINDOW = 20 * BLOCK;   // about half a second
    constexpr int32_t LOUD = 12000;         // the tone's peak is 16000
    TempDir dir;
    const std::string capture = dir.Path("output.raw");
    P_CloseAudio();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", capture.c_str(), 1);
    const bool opened = P_OpenAudio();
    UseSilentDriver();
    ASSERT_TRUE(opened);
    P_SetOutputVolume(0xFFFFFFFF);

    // One silent second first: hearing the tone at once shows the play started at the seek.
    const std::string wave = dir.Write("tone.wav", WaveFile(44100, 2, 16, 1.0, 9.0));
    const uint32_t voice = P_LoadVoice(wave.c_str(), false);
    ASSERT_NE(voice, 0u);
    P_SeekVoice(voice, 1500);
    P_PlayVoice(voice, false);

    struct Phase {
        uint32_t volume;
        bool leftHeard, rightHeard;
    };
    for (const Phase phase : {Phase{0xFFFFFFFF, true, true}, Phase{0x0000FFFF, true, false},
                              Phase{0x00000000, false, false}}) {
        SCOPED_TRACE(testing::Message() << std::hex << phase.volume);
        P_SetOutputVolume(phase.volume);
        const size_t start = (std::filesystem::file_size(capture) + MARGIN) / FRAME * FRAME;
        ASSERT_TRUE(WaitFor([&] { return std::filesystem::file_size(capture) >= start + WINDOW; }));
        std::ifstream in(capture, std::ios::binary);
        in.seekg(std::streamoff(start));
        std::vector<int16_t> samples(WINDOW / 2);
        in.read(reinterpret_cast<char *>(samples.data()), std::streamsize(WINDOW));
        ASSERT_TRUE(in.good());
        for (size_t block = 0; block < WINDOW / BLOCK; ++block) {
            int32_t peak[2] = {0, 0};
            for (size_t i = block * BLOCK / 2; i < (block + 1) * BLOCK / 2; ++i) {
                peak[i % 2] = std::max(peak[i % 2], std::abs(int32_t(samples[i])));
            }
            SCOPED_TRACE(block);
            EXPECT_EQ(peak[0] > LOUD, phase.leftHeard) << peak[0];
            EXPECT_EQ(peak[1] > LOUD, phase.rightHeard) << peak[1];
            EXPECT_TRUE(phase.leftHeard || peak[0] == 0);
            EXPECT_TRUE(phase.rightHeard || peak[1] == 0);
        }
    }
    // Still sounding after the last window, so the silence came from the volume.
    EXPECT_TRUE(P_VoicePlaying(voice));
    P_CloseAudio();
}
}  // namespace
