#include "gameplay/weapons.h"

#include "console/commands.h"
#include "console/console.h"
#include "tests/gameplay/shot_clock.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {
class WeaponsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        clockNow = 50000;
        SetReloadClock(TestClock);
        StartGameplay();
    }
    void TearDown() override
    {
        SetReloadClock(nullptr);
        C_Shutdown();
    }

    // Fresh weapon tables and projectiles, both players placed facing each other. The pictures,
    // sounds and the explosion animation are missing here.
    static void StartGameplay()
    {
        ResetWeapons();
        InitGameplay();
        PlacePlayer(players[0], -2.0f, FLOOR_HEIGHT, 0.0f);
        PlacePlayer(players[1], 2.0f, FLOOR_HEIGHT, PI);
    }

    static void PlacePlayer(Player &player, float x, float y, float angle)
    {
        player.pose = Pose{x, y, angle};
        player.health = 125;
        player.currentWeapon = WEAPON_ROCKET;
        for (uint32_t &time : player.lastShotTimes) {
            time = 0;
        }
    }
    static void FireNow(Player &player, int32_t weapon)
    {
        ArmReloaded(player, weapon);
        Fire(player);
    }
};

// A shot needs more than the reload time since the last one, on the unsigned clock, so the
// reload also holds across the clock's wrap; a weapon never fired counts from clock 0.
TEST_F(WeaponsTest, ShotNeedsMoreThanTheReloadTime)
{
    const struct {
        uint32_t lastShot;
        uint32_t now;
        bool fires;
    } cases[] = {
        {1000, 1090, false},
        {0xFFFFFFC0u, 26, false},
        {0xFFFFFFC0u, 27, true},
        {0, 91, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.lastShot << " " << c.now);
        StartGameplay();
        players[0].currentWeapon = WEAPON_PLASMA;
        players[0].lastShotTimes[WEAPON_PLASMA] = c.lastShot;
        clockNow = c.now;
        Fire(players[0]);
        EXPECT_EQ(BusyProjectileSlots(), c.fires ? 1 : 0);
        EXPECT_EQ(players[0].lastShotTimes[WEAPON_PLASMA], c.fires ? c.now : c.lastShot);
    }
}

TEST_F(WeaponsTest, ShotsBeyondTheTableAreDropped)
{
    players[0].pose.y = 2.0f;
    for (int i = 0; i < PROJECTILE_SLOTS + 5; ++i) {
        FireNow(players[0], WEAPON_PLASMA);
    }
    EXPECT_EQ(BusyProjectileSlots(), PROJECTILE_SLOTS);
}

TEST_F(WeaponsTest, PlasmaHitsTheFirstPlayerInReachOnly)
{
    // Both players stand within 0.3 of where the ball will be: only the first is hurt.
    PlacePlayer(players[0], 0.0f, 1.0f, 0.0f);
    PlacePlayer(players[1], 0.1f, 1.0f, 0.0f);
    Projectile probe{WEAPON_PLASMA, Pose{-0.35f, 1.0f, 0.0f}, 0.35f, 100.0f, 1.0};
    EXPECT_TRUE(HitTest(probe));
    EXPECT_EQ(players[0].health, 105);
    EXPECT_EQ(players[1].health, 125);
}

TEST_F(WeaponsTest, PlasmaPassesItsShooterAndVanishesAtItsHit)
{
    FireNow(players[0], WEAPON_PLASMA);  // aimed right, at the second player 4 units away
    const Projectile &shot = GetProjectile(0);
    EXPECT_FLOAT_EQ(shot.distance, 0.35f);
    AdvanceProjectiles(10);
    EXPECT_EQ(players[0].health, 125);
    EXPECT_EQ(shot.type, WEAPON_PLASMA);
    EXPECT_NEAR(shot.distance, 0.45f, 1e-6f);
    int frames = 1;
    while (shot.type != 0 && frames < 1000) {
        AdvanceProjectiles(10);
        ++frames;
    }
    EXPECT_EQ(players[1].health, 105);
    EXPECT_EQ(players[0].health, 125);
    // 0.1 per frame from 0.35: the ball reaches 4 - 0.3 after 34 more frames.
    EXPECT_NEAR(frames, 35, 1);
}

// Without explosion frames (rocket.fp missing or damaged) a rocket that hits, or leaves the box
// and explodes there, must still give its slot back: else after a table of them nobody can fire.
TEST_F(WeaponsTest, RocketWithoutExplosionFramesEndsAtItsHit)
{
    PlacePlayer(players[1], -1.5f, FLOOR_HEIGHT, 0.0f);
    FireNow(players[0], WEAPON_ROCKET);
    AdvanceProjectiles(10);
    EXPECT_EQ(players[1].health, 25);
    EXPECT_EQ(BusyProjectileSlots(), 0);
    AdvanceProjectiles(10);
    EXPECT_EQ(players[1].health, 25);
}

// Shots that leave the box (left, right, top, below the floor line) hurt nobody and give their
// slot back.
TEST_F(WeaponsTest, ShotsLeavingTheArenaBoxDoNoDamage)
{
    const Pose starts[] = {
        {-3.9f, 1.0f, PI}, {3.9f, 1.0f, 0.0f}, {0.0f, 2.9f, PI / 2.0f}, {0.0f, 0.05f, -PI / 2.0f}};
    for (const int32_t weapon : {WEAPON_PLASMA, WEAPON_ROCKET}) {
        for (const Pose &start : starts) {
            SCOPED_TRACE(testing::Message() << weapon << ": " << start.x << "," << start.y);
            StartGameplay();
            PlacePlayer(players[0], start.x, start.y, start.angle);
            PlacePlayer(players[1], 50.0f, 50.0f, 0.0f);
            FireNow(players[0], weapon);
            AdvanceProjectiles(10);
            AdvanceProjectiles(10);
            EXPECT_EQ(BusyProjectileSlots(), 0);
            EXPECT_EQ(players[0].health, 125);
        }
    }
}
}  // namespace
