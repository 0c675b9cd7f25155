#include "shell/demo.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "menu/menu.h"
#include "platform/file.h"
#include "shell/map_commands.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
using Bytes = std::vector<uint8_t>;

constexpr int32_t TICKS = 400;
constexpr float MARKED_GRAVITY = 0.77f;  // set once, mid-recording, to find its tick in the file

// The world's part of a frame, as the game runs it when the frame is not drawn.
bool RunFrame(uint32_t delta)
{
    const DemoFrame frame = DemoFrameStart(delta, true);
    if (frame.hold) {
        return false;
    }
    SetFrameTime(frame.delta);
    if (MatchOn()) {
        AdvanceMatch(frame.delta);
    } else {
        AdvancePlayers(frame.delta);
        AdvanceProjectiles(frame.delta);
    }
    DemoFrameEnd();
    return true;
}

void Control(uint32_t action, int32_t player, int32_t argument)
{
    PlayerControl(action, player, &argument);
}

// Play as keys, mouse and pads bring it: walking both ways, jumps, shots, weapon changes and
// aim, with frames of uneven length; halfway the console changes gravity and starts a match.
void Play(int32_t tick)
{
    if (tick % 40 < 15) {
        Control(ACTION_MOVE, 1, MOVE_RIGHT);
    } else if (tick % 40 > 22) {
        Control(ACTION_MOVE, 1, MOVE_LEFT);
    }
    if (tick % 50 == 3) {
        Control(ACTION_MOVE, 2, MOVE_JUMP);
    }
    if (tick % 33 < 20) {
        Control(ACTION_MOVE, 2, tick % 66 < 33 ? MOVE_LEFT : MOVE_RIGHT);
    }
    PlayerControl(ACTION_FIRE, 1, nullptr);
    if (tick % 3 == 0) {
        PlayerControl(ACTION_FIRE, 2, nullptr);
    }
    const float aim = tick % 20 < 10 ? 4.0f : -4.0f;
    PlayerControl(ACTION_AIM, tick % 2 == 0 ? 1 : 2, &aim);
    if (tick % 70 == 0) {
        Control(ACTION_SELECT_WEAPON, 1 + tick % 2, WEAPON_ROCKET + (tick / 70) % 3);
    }
    if (tick == TICKS / 2) {
        gravity = MARKED_GRAVITY;
        C_Execute("g_match 1");
    }
}

uint32_t Delta(int32_t tick) { return 6 + uint32_t(tick * 7) % 9; }

Bytes World()
{
    static DemoWorld world;
    ReadDemoWorld(&world);
    Bytes bytes(DEMO_WORLD_BYTES);
    bytes.resize(DemoEncodeWorld(world, bytes.data()));
    return bytes;
}

class DemoReplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        M_AllocMap();
        M_SetSpawnPointHandler(AddSpawnPoint);
        for (int32_t row = 0; row < M_ROWS; ++row) {
            M_SetCell(5 * M_ROWS + row, row == 20 ? 2 : 0);
        }
        AddSpawnPoint(-2.0f, 1.0f, 0);
        AddSpawnPoint(2.0f, 1.0f, 1);
        InitGameplay();
        RegisterMatchVariables();
        RegisterMapCommands();
        RegisterDemoCommands();
        C_Execute("g_match 0");
        PlaceStart();
        gravity = 0.3f;
        mainMenu.visible = false;
    }
    void TearDown() override
    {
        StopDemos();
        SetReloadClock(nullptr);
        C_Execute("g_match 0");
        M_FreeMap();
        C_Shutdown();
    }

    // Both players on their feet, apart, with no shots in flight.
    static void PlaceStart()
    {
        static WeaponsState none;
        none = WeaponsState{};
        RestoreWeapons(none);
        for (int32_t i = 0; i < 2; ++i) {
            players[i].pose = Pose{i == 0 ? -2.0f : 2.0f, FLOOR_HEIGHT, i == 0 ? 0.0f : 3.14f};
            players[i].horizontalVelocity = 0.0f;
            players[i].health = 125;
            players[i].currentWeapon = WEAPON_ROCKET;
        }
    }

    // Records the scripted play into demos/t.dem; returns the world it ended on.
    Bytes Record()
    {
        EXPECT_TRUE(StartRecording("t.dem"));
        for (int32_t tick = 0; tick < TICKS; ++tick) {
            Play(tick);
            RunFrame(Delta(tick));
        }
        const Bytes end = World();
        Play(TICKS);  // input after the last frame belongs to no frame
        EXPECT_TRUE(StopRecording());
        return end;
    }

    // Replays t.dem to its end; returns the number of frames it took.
    int32_t Replay()
    {
        EXPECT_TRUE(StartReplay("t.dem", false));
        int32_t frames = 0;
        while (RunFrame(1000) && frames <= TICKS) {
            ++frames;
        }
        return frames;
    }

    std::string Printed() const { return std::string(C_Text()); }

    TempDir dir;
    WorkingDirectory inside{dir.Root()};
};

// The replay ends on the recording's world bit for bit, whatever the world was before it, and
// afterwards play goes on from that world.
TEST_F(DemoReplayTest, ReplayEndsOnTheRecordedWorld)
{
    const Bytes recorded = Record();
    // Elsewhere now: moved, shot at, under other gravity, the reload clock moved on.
    players[0].pose.x = 3.0f;
    players[1].health = -40;
    PlayerControl(ACTION_FIRE, 2, nullptr);
    gravity = 0.1f;
    C_Execute("g_match 0");
    const Bytes before = World();

    EXPECT_EQ(Replay(), TICKS);
    EXPECT_EQ(World(), recorded);
    EXPECT_NE(Printed().find("Demo ended"), std::string::npos);
    EXPECT_EQ(Printed().find("differs"), std::string::npos) << Printed();
    EXPECT_TRUE(DemoActive()) << "paused on its last frame";

    EXPECT_TRUE(DemoEscape());
    EXPECT_FALSE(DemoActive());
    EXPECT_EQ(World(), before);
}

// Changed after recording, the demo no longer replays exactly: the line names the first frame
// that went another way.
TEST_F(DemoReplayTest, AMismatchNamesItsFirstFrame)
{
    Record();
    const std::string text = dir.Read("t.dem");
    Bytes bytes(text.begin(), text.end());
    uint8_t marked[4];
    memcpy(marked, &MARKED_GRAVITY, sizeof marked);
    const auto found = std::search(bytes.begin(), bytes.end(), marked, marked + 4);
    ASSERT_NE(found, bytes.end());
    const float other = 0.78f;
    memcpy(&*found, &other, sizeof other);
    WriteLE32(bytes.data() + bytes.size() - 4, DemoCrc(0, bytes.data(), bytes.size() - 4));
    dir.Write("t.dem", std::string(bytes.begin(), bytes.end()));

    EXPECT_EQ(Replay(), TICKS);
    char expected[64];
    snprintf(expected, sizeof expected, "differs from its recording from frame %d on",
             TICKS / 2 + 1);
    EXPECT_NE(Printed().find(expected), std::string::npos) << Printed();
}

// A file that is no demo, of another version or damaged plays nothing and leaves the world.
TEST_F(DemoReplayTest, BadFilesPlayNothing)
{
    Record();
    const std::string good = dir.Read("t.dem");
    std::string otherVersion = good;
    otherVersion[4] = 2;
    std::string damaged = good;
    damaged[good.size() / 2] ^= 1;
    const struct {
        std::string bytes;
        const char *line;
    } cases[] = {
        {otherVersion, "t.dem is a demo of version 2; this game plays version 1"},
        {damaged, "t.dem is damaged"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        dir.Write("t.dem", c.bytes);
        const Bytes before = World();
        EXPECT_FALSE(StartReplay("t.dem", false));
        EXPECT_FALSE(DemoActive());
        EXPECT_NE(Printed().find(c.line), std::string::npos) << Printed();
        EXPECT_EQ(World(), before);
    }
}
uint32_t testClock = 0;

uint32_t TestClock() { return testClock; }

// The scripted play from one start, with every frame drawn or none: the world must end the same.
Bytes PlayFrames(bool drawn)
{
    testClock = 5000;
    for (int32_t tick = 0; tick < TICKS; ++tick) {
        Play(tick);
        const uint32_t delta = Delta(tick);
        testClock += delta;
        SetFrameTime(delta);
        if (MatchOn()) {
            drawn ? UpdateMatch(delta) : AdvanceMatch(delta);
        } else if (drawn) {
            UpdatePlayers(delta);
            UpdateProjectiles(delta);
        } else {
            AdvancePlayers(delta);
            AdvanceProjectiles(delta);
        }
    }
    return World();
}

TEST_F(DemoReplayTest, FramesRunUnseenChangeWhatDrawnOnesDo)
{
    SetReloadClock(TestClock);
    static DemoWorld start;
    ReadDemoWorld(&start);
    const Bytes drawn = PlayFrames(true);
    WriteDemoWorld(start);
    EXPECT_EQ(PlayFrames(false), drawn);
}
}  // namespace
