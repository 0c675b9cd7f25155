#include "gameplay/player.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/weapons.h"
#include "tests/gameplay/shot_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

namespace {
constexpr float DEGREES = PI / 180.0f;

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        gravity = 0.3f;
        player = &players[0];
        ResetPlayer();
    }
    void TearDown() override { C_Shutdown(); }

    void ResetPlayer()
    {
        player->pose = Pose{0.0f, FLOOR_HEIGHT, PI};
        player->airborne = 0;
        player->horizontalVelocity = player->jumpVelocity = player->fallVelocity = 0.0f;
        player->walk = Frame{};
        player->walk.SetRate(20.0f);
        player->currentWeapon = WEAPON_ROCKET;
        std::fill_n(player->lastShotTimes, WEAPON_SLOTS, 0u);
    }
    void Control(uint32_t action, int32_t argument) { PlayerControl(action, 1, &argument); }
    void Aim(float degrees) { PlayerControl(ACTION_AIM, 1, &degrees); }

    Player *player = nullptr;
};

// The jump lasts about as long at any frame rate; its height depends on it.
TEST_F(PlayerTest, JumpHeightAndTimeInTheAir)
{
    struct Case {
        uint32_t frameMs;
        float height;
        int frames;
    };
    for (const Case c : {Case{10, 1.03f, 53}, Case{20, 0.49f, 26}}) {
        SCOPED_TRACE(c.frameMs);
        ResetPlayer();
        Control(ACTION_MOVE, MOVE_JUMP);
        float highest = 0.0f;
        int frames = 0;
        do {
            MovePlayer(*player, c.frameMs);
            highest = std::max(highest, player->pose.y - FLOOR_HEIGHT);
            ++frames;
        } while (player->airborne != 0 && frames < 1000);
        EXPECT_NEAR(highest, c.height, 0.01f);
        EXPECT_EQ(frames, c.frames);
    }
}

// A frame too long cancels the jump; a second jump in the air changes nothing.
TEST_F(PlayerTest, JumpEdgeCases)
{
    Control(ACTION_MOVE, MOVE_JUMP);
    MovePlayer(*player, 160);
    EXPECT_FLOAT_EQ(player->pose.y, FLOOR_HEIGHT);
    EXPECT_EQ(player->airborne, 0);
    EXPECT_FLOAT_EQ(player->jumpVelocity, 0.0f);

    ResetPlayer();
    Control(ACTION_MOVE, MOVE_JUMP);
    MovePlayer(*player, 10);
    const float velocity = player->jumpVelocity;
    Control(ACTION_MOVE, MOVE_JUMP);
    EXPECT_FLOAT_EQ(player->jumpVelocity, velocity);
}

// Holding a key moves 0.03 per frame; after release the velocity decays by 0.001 per 10 ms
// frame and stops after about 20 frames, about 0.29 further.
TEST_F(PlayerTest, WalkingAndSlidingToAStop)
{
    Control(ACTION_MOVE, MOVE_RIGHT);
    MovePlayer(*player, 10);
    EXPECT_NEAR(player->pose.x, 0.03f, 1e-6f);
    EXPECT_EQ(player->walk.facing, 1);
    const float released = player->pose.x;
    int frames = 0;
    while (player->horizontalVelocity != 0.0f && frames < 100) {
        MovePlayer(*player, 10);
        ++frames;
    }
    EXPECT_NEAR(frames, 20, 1);
    EXPECT_NEAR(player->pose.x - released, 0.29f, 0.01f);
    EXPECT_EQ(player->walk.currentFrame, 0u);

    Control(ACTION_MOVE, MOVE_LEFT);
    Control(ACTION_MOVE, MOVE_RIGHT);  // the last command of a frame wins
    EXPECT_FLOAT_EQ(player->horizontalVelocity, 0.02f);

    ResetPlayer();  // unknown actions and moves do nothing
    Control(7, 0);
    Control(ACTION_MOVE, 3);
    MovePlayer(*player, 10);
    EXPECT_EQ(player->pose.x, 0.0f);
    EXPECT_EQ(player->airborne, 0);
}

TEST_F(PlayerTest, TurningMirrorsTheAim)
{
    Control(ACTION_MOVE, MOVE_RIGHT);
    player->pose.angle = 30.0f * DEGREES;
    Control(ACTION_MOVE, MOVE_LEFT);
    EXPECT_NEAR(player->pose.angle / DEGREES, 150.0f, 1e-3f);
    EXPECT_EQ(player->walk.facing, 0);
    Control(ACTION_MOVE, MOVE_LEFT);  // already facing left: no second mirror
    EXPECT_NEAR(player->pose.angle / DEGREES, 150.0f, 1e-3f);
}

// The limit test uses half the step, so the aim may pass the vertical by half a step.
TEST_F(PlayerTest, AimStaysInTheHalfThePlayerFaces)
{
    struct Case {
        uint8_t facing;
        float from;
        float by;
        float to;
    };
    const Case cases[] = {
        {1, 87.0f, 4.0f, 91.0f}, {1, 89.0f, 4.0f, 89.0f},    {1, -87.0f, -4.0f, -91.0f},
        {0, 93.0f, 4.0f, 89.0f}, {0, 269.0f, -4.0f, 269.0f},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.facing) << " " << c.from << " " << c.by);
        player->walk.facing = c.facing;
        player->pose.angle = c.from * DEGREES;
        Aim(c.by);
        EXPECT_NEAR(player->pose.angle / DEGREES, c.to, 1e-3f);
    }
}

TEST_F(PlayerTest, WeaponChangesOnlyAfterTheReload)
{
    ResetWeapons();
    InitGameplay();  // fills the reload table; its files are missing here
    ResetPlayer();
    SetReloadClock(TestClock);
    clockNow = 5000;
    player->lastShotTimes[WEAPON_ROCKET] = 4200;  // the rocket launcher reloads for 800 ms
    Control(ACTION_SELECT_WEAPON, WEAPON_RAIL);
    EXPECT_EQ(player->currentWeapon, WEAPON_ROCKET);
    clockNow = 5001;
    Control(ACTION_SELECT_WEAPON, WEAPON_RAIL);
    EXPECT_EQ(player->currentWeapon, WEAPON_RAIL);
    Control(ACTION_SELECT_WEAPON, 12);  // beyond the weapon tables
    EXPECT_EQ(player->currentWeapon, WEAPON_RAIL);
    SetReloadClock(nullptr);
}

// Indices outside the table change no entry in it (as clamping or wrapping them would); the
// sanitized run also catches a write just beside it.
TEST_F(PlayerTest, SpawnPointsOutsideTheTableAreIgnored)
{
    for (int32_t i = 0; i < SPAWN_POINT_CAPACITY; ++i) {
        AddSpawnPoint(float(i), 2.5f, i);
    }
    for (const int32_t index : {-1, SPAWN_POINT_CAPACITY, INT32_MIN, INT32_MAX}) {
        AddSpawnPoint(-9.0f, -9.0f, index);
    }
    for (int32_t i = 0; i < SPAWN_POINT_CAPACITY; ++i) {
        const Pose &point = SpawnPoint(i);
        ASSERT_EQ(point.x, float(i)) << i;
        ASSERT_EQ(point.y, 2.5f) << i;
        ASSERT_EQ(point.angle, 0.0f) << i;  // left as it was
    }
    for (int32_t i = 0; i < SPAWN_POINT_CAPACITY; ++i) {
        AddSpawnPoint(0.0f, 0.0f, i);  // the other tests start from an empty table
    }
}

}  // namespace
