#include "audio/sound.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "platform/audio.h"
#include "tests/audio/audio_support.h"
#include "tests/support/console_output.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace {
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        P_CloseAudio();
        UseSilentDriver();
        ASSERT_TRUE(P_OpenAudio());
        P_SetOutputVolume(0xFFFFFFFF);
        C_Init();
        console.Skip();
    }
    void TearDown() override
    {
        P_CloseAudio();
        C_Shutdown();
    }

    ConsoleOutput console;
    TempDir dir;
};

TEST_F(SoundTest, OpenReportsOnlyWhetherTheFileExists)
{
    dir.Write("click.wav", WaveFile(8000, 1, 8, 30.0, 0.0));
    dir.Write("music.mid", MidiFile(30.0));
    dir.Write("noise.wav", "nothing a mixer could play");
    struct Case {
        const char *name;
        int32_t kind;
        bool exists;
        bool heard;
    };
    const Case cases[] = {
        {"click.wav", 2, true, true},     {"music.mid", 3, true, true},
        {"noise.wav", 2, true, false},    {"click.wav", 9, true, false},
        {"missing.mid", 3, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " as kind " << c.kind);
        const std::string path = dir.Path(c.name);
        {
            Sound sound;
            EXPECT_EQ(sound.Open(path.c_str(), c.kind), c.exists);
            EXPECT_EQ(console.Printed(), c.exists
                                             ? "Sound: \"" + path + "\" loaded succesful.\n"
                                             : "Warning: Sound: couldn't open \"" + path + "\"\n");
            EXPECT_TRUE(sound.Play(true, false));
            EXPECT_EQ(P_VoicesPlaying(), c.heard ? 1 : 0);
            sound.Pause(false);
            sound.SeekTo(100, true);
            sound.SeekToFraction(0.5, false);
            EXPECT_EQ(P_VoicesPlaying(), c.heard ? 1 : 0);
            EXPECT_EQ(console.Printed(), "");
        }
        EXPECT_EQ(P_VoicesPlaying(), 0);  // the voice goes with its object
    }
}

// Any file named .mid goes to the synthesizer, which finds out only when it plays.
TEST_F(SoundTest, BrokenMusicFallsSilentByItself)
{
    Sound music;
    EXPECT_TRUE(music.Open(
        dir.Write("broken.mid", "MThd, and nothing a synthesizer could play").c_str(), 3));
    music.Play(false, false);
    ASSERT_TRUE(WaitFor([] { return P_VoicesPlaying() == 0; }));
    music.Play(false, false);
    EXPECT_EQ(P_VoicesPlaying(), 0);
}

// A match restarts its music once it has finished: only a sound that played to its end counts.
TEST_F(SoundTest, FinishedOnlyOncePlayedToItsEnd)
{
    for (const int32_t kind : {SOUND_WAVE_AUDIO, SOUND_SEQUENCER}) {
        SCOPED_TRACE(kind);
        const std::string path = kind == SOUND_WAVE_AUDIO
                                     ? dir.Write("short.wav", WaveFile(8000, 1, 8, 0.3, 0.0))
                                     : dir.Write("short.mid", MidiFile(0.3));
        Sound sound;
        sound.Open(path.c_str(), kind);
        EXPECT_FALSE(sound.Finished());  // never played
        sound.Play(true, false);
        ASSERT_TRUE(WaitFor([&sound] { return sound.Position() >= 100; }));
        sound.Pause(false);
        EXPECT_FALSE(sound.Finished());  // held on its way
        sound.Play(false, false);
        ASSERT_TRUE(WaitFor([&sound] { return sound.Finished(); }));
        sound.Play(true, false);
        EXPECT_FALSE(sound.Finished());
    }
}

TEST_F(SoundTest, SeekToFractionStaysInsideTheSound)
{
    Sound sound;
    sound.Open(dir.Write("long.wav", WaveFile(8000, 1, 8, 30.0, 0.0)).c_str(), 2);
    struct Case {
        double fraction;
        uint32_t from, to;
        bool heard;
    };
    const Case cases[] = {
        {0.5, 15000, 20000, true},
        {-1.0, 0, 5000, true},
        {std::nan(""), 0, 5000, true},
        {1e300, 30000, 30000, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fraction);
        sound.SeekToFraction(c.fraction, false);
        EXPECT_GE(sound.Position(), c.from);
        EXPECT_LE(sound.Position(), c.to);
        EXPECT_EQ(P_VoicesPlaying(), c.heard ? 1 : 0);
    }
}

TEST_F(SoundTest, VolumeCommand)
{
    InitSound();
    struct Case {
        const char *line;
        uint32_t volume;
        const char *printed;
    };
    const Case cases[] = {
        {"s_volume 70000", 0x11701170, ""},
        {"s_volume", 0x11701170, "\"s_volume\" is \"4464.000000\"\n"},
        {"s_volume 0", 0x11701170, "\"s_volume\" is \"4464.000000\"\n"},
        {"s_volume 65536", 0, ""},
        {"s_volume -1", 0xFFFFFFFF, ""},
        {"s_volume 12.9", 0x000C000C, ""},
        {"s_volume none", 0x000C000C, "\"s_volume\" is \"12.000000\"\n"},
    };
    console.Printed();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        C_Execute(c.line);
        EXPECT_EQ(GetVolume(), c.volume);
        EXPECT_EQ(console.Printed(), std::string("]") + c.line + "\n" + c.printed);
    }
    // The query shows the right channel, the argument 0 the left.
    SetVolume(0x0001FFFF);
    C_Execute("s_volume");
    C_Execute("s_volume 0");
    EXPECT_EQ(console.Printed(), "]s_volume\n\"s_volume\" is \"1.000000\"\n"
                                 "]s_volume 0\n\"s_volume\" is \"65535.000000\"\n");
}

TEST_F(SoundTest, ShutdownPutsBackTheVolumeAndSilencesEverything)
{
    SetVolume(0x12345678);
    InitSound();
    EXPECT_EQ(console.Printed(), "   DirectSound Initialized!\n");
    C_Execute("s_volume 70000");
    EXPECT_EQ(GetVolume(), 0x11701170u);
    Sound sound;
    sound.Open(dir.Write("long.wav", WaveFile(8000, 1, 8, 30.0, 0.0)).c_str(), 2);
    sound.Play(true, false);
    EXPECT_EQ(P_VoicesPlaying(), 1);

    ShutdownSound();
    EXPECT_EQ(P_VoicesPlaying(), 0);
    sound.Play(true, false);
    EXPECT_EQ(P_VoicesPlaying(), 0);
    EXPECT_EQ(GetVolume(), 0u);  // no device any more
    ASSERT_TRUE(P_OpenAudio());
    EXPECT_EQ(GetVolume(), 0x12345678u);
}

// Run in its own process by CTest, so the sound objects below are destroyed at exit after the
// device is gone, as the game's global ones are.
Sound lastingSound;

TEST_F(SoundTest, WithoutADeviceEverythingIsSilent)
{
    P_CloseAudio();
    setenv("SDL_AUDIODRIVER", "none-such", 1);
    testing::internal::CaptureStderr();
    InitSound();
    const std::string path = dir.Write("click.wav", WaveFile(8000, 1, 8, 1.0, 0.0));
    Sound sound;
    EXPECT_TRUE(sound.Open(path.c_str(), 2));
    EXPECT_TRUE(lastingSound.Open(path.c_str(), 3));
    const std::string errors = testing::internal::GetCapturedStderr();
    UseSilentDriver();
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;

    EXPECT_EQ(console.Printed(), "   DirectSound Initialized!\nSound: \"" + path +
                                     "\" loaded succesful.\nSound: \"" + path +
                                     "\" loaded succesful.\n");
    sound.Play(true, false);
    lastingSound.Play(false, false);
    EXPECT_EQ(P_VoicesPlaying(), 0);
    EXPECT_EQ(sound.Length(), 0u);
    C_Execute("s_volume 5");
    C_Execute("s_volume");
    EXPECT_EQ(console.Printed(), "]s_volume 5\n]s_volume\n\"s_volume\" is \"0.000000\"\n");
    ShutdownSound();
}
}  // namespace
