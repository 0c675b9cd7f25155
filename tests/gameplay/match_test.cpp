#include "gameplay/match.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/match_shots.h"
#include "gameplay/weapons.h"
#include "platform/keys.h"
#include "tests/gameplay/shot_clock.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

#include <cmath>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

namespace {
// A floor of bricks along row 15 (its top at y = 0, where the old floor line was) and three
// respawn cells on it, in columns 2, 9 and 17: spawn points (-3.0, 0.2), (-0.2, 0.2), (3.0, 0.2).
constexpr int FLOOR_ROW = 15;
constexpr float STANDING = 0.3f;  // a player's centre on that floor

void PutBricks(int firstColumn, int lastColumn, int firstRow, int lastRow, int16_t code = 3)
{
    for (int column = firstColumn; column <= lastColumn; ++column) {
        for (int row = firstRow; row <= lastRow; ++row) {
            M_SetCell(column * M_ROWS + row, code);
        }
    }
}

void LayOutMap()
{
    M_AllocMap();
    PutBricks(0, M_COLUMNS - 1, FLOOR_ROW, FLOOR_ROW, 4);
    for (const int column : {2, 9, 17}) {
        M_SetCell(column * M_ROWS + FLOOR_ROW - 1, M_RESPAWN);
    }
}

std::string savedVariables;

void SaveVariable(const char *name, float value, FILE *)
{
    char line[64];
    snprintf(line, sizeof line, "%s %g\n", name, double(value));
    savedVariables += line;
}

class MatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        RegisterMatchVariables();
        clockNow = 50000;
        SetReloadClock(TestClock);
        // Spawn points are only ever added, as maps load: the test map is loaded once.
        static bool mapLoaded = false;
        if (!mapLoaded) {
            TempDir dir;
            LayOutMap();
            ASSERT_TRUE(M_SaveMap(dir.Path("match.vsm").c_str()));
            M_SetSpawnPointHandler(AddSpawnPoint);
            M_LoadMap(dir.Path("match.vsm").c_str());
            M_SetSpawnPointHandler(nullptr);
            mapLoaded = true;
        }
        ASSERT_EQ(spawnPointCount, 3);
        LayOutMap();  // other tests of this program change the grid
        ResetWeapons();
        InitGameplay();
        gravity = 0.3f;
        for (Player &player : players) {
            for (uint32_t &time : player.lastShotTimes) {
                time = 0;
            }
        }
        C_Execute("g_match 1");
        AdvanceMatch(10);
    }
    void TearDown() override
    {
        C_Execute("g_match 0");
        C_Execute("g_fraglimit 10");
        C_Execute("g_timelimit 0");
        MatchKeyUp(P_KEY_SPACE);
        MatchKeyUp(P_KEY_ESCAPE);
        SetReloadClock(nullptr);
        C_Shutdown();
        M_FreeMap();
    }

    static void FireNow(int32_t player, int32_t weapon)
    {
        ArmReloaded(players[player - 1], weapon);
        PlayerControl(ACTION_FIRE, player, nullptr);
    }
    static void Place(int32_t player, float x, float y, float angle)
    {
        Player &target = players[player - 1];
        target.pose = Pose{x, y, angle};
        target.walk.facing = std::cos(angle) >= 0.0f ? 1 : 0;
        target.horizontalVelocity = target.jumpVelocity = target.fallVelocity = 0.0f;
    }
    // Runs frames until `done` holds, at most `frames` of them; false if it never did.
    template <typename Condition>
    static bool RunUntil(Condition done, int frames = 1000, uint32_t frameMs = 10)
    {
        for (int i = 0; i < frames; ++i) {
            if (done()) {
                return true;
            }
            clockNow += frameMs;
            AdvanceMatch(frameMs);
        }
        return done();
    }
    static void Run(int frames)
    {
        RunUntil([] { return false; }, frames);
    }
    static bool ConsoleHas(const std::string &text)
    {
        return std::string(C_Text()).find(text) != std::string::npos;
    }
    // Player 1, from its start, kills player 2 at its start with a rocket.
    static void Player1KillsPlayer2()
    {
        players[1].health = 10;
        FireNow(1, WEAPON_ROCKET);
        ASSERT_TRUE(RunUntil([] { return CurrentMatch().dead[1]; }));
        Run(1);  // the explosion ends (its animation is missing here)
    }
};

// With fewer than two points the ends of the old floor line stand in.
TEST_F(MatchTest, StartAndRespawnPoints)
{
    const Pose points[] = {
        {-1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {-3.0f, 1.0f, 0.0f}, {-1.0f, 3.0f, 0.0f}};
    const StartPoints start = ChooseStartPoints(points, 1);
    EXPECT_FLOAT_EQ(start.first.x, -3.8f);
    EXPECT_FLOAT_EQ(start.second.x, 3.8f);
    EXPECT_FLOAT_EQ(ChooseStartPoints(points, 4).second.x, 2.0f);  // the first of two as far
    EXPECT_FLOAT_EQ(ChooseRespawnPoint(points, 4, -3.0f, 1.0f).x, 2.0f);
    EXPECT_FLOAT_EQ(ChooseRespawnPoint(points, 0, -1.0f, 0.0f).x, 3.8f);
}

// Outside a match a rocket hurts its victim again in every frame of the explosion; a loaded
// machine draws long frames, and a shot must step over neither a player nor a brick (0.4 wide)
// between two of them.
TEST_F(MatchTest, ShotsHitOnceAndNeverStepOverAPlayerOrABrick)
{
    for (const bool wall : {false, true}) {
        if (wall) {
            PutBricks(10, 10, 12, FLOOR_ROW - 1);
        }
        for (const uint32_t frameMs : {10u, 200u}) {
            for (const int32_t weapon : {WEAPON_ROCKET, WEAPON_PLASMA}) {
                SCOPED_TRACE(testing::Message() << weapon << " at " << frameMs << " ms " << wall);
                players[1].health = MATCH_HEALTH;
                Place(2, wall ? 3.0f : players[0].pose.x + 1.0f, STANDING, PI);
                FireNow(1, weapon);
                EXPECT_TRUE(RunUntil([] { return BusyProjectileSlots() == 0; }, 1000, frameMs));
                const int32_t damage = weapon == WEAPON_ROCKET ? 100 : 20;
                EXPECT_EQ(players[1].health, MATCH_HEALTH - (wall ? 0 : damage));
                EXPECT_EQ(players[0].health, MATCH_HEALTH);
            }
        }
    }
}

TEST_F(MatchTest, ARocketMeetingABrickSplashesEveryoneNearIncludingItsShooter)
{
    PutBricks(10, 10, 13, FLOOR_ROW - 1);  // a wall from x 0 to 0.4, its top at y 0.4
    Place(1, -0.3f, STANDING, 0.0f);       // 0.3 from the wall's face: the rocket starts beyond it
    Place(2, 0.3f, 0.7f, PI);              // on top of the wall, 0.5 from the explosion
    FireNow(1, WEAPON_ROCKET);
    for (const int frames : {1, 100}) {
        Run(frames);
        EXPECT_EQ(players[0].health, MATCH_HEALTH - 25);
        EXPECT_EQ(players[1].health, MATCH_HEALTH - 8);
    }
    EXPECT_EQ(SplashDamage(0.6f), 0);
    EXPECT_EQ(SplashDamage(NAN), 0);
}

TEST_F(MatchTest, PlasmaPassesItsOwnShooter)
{
    FireNow(1, WEAPON_PLASMA);
    Run(1);
    Place(1, GetProjectile(0).origin.x + GetProjectile(0).distance, STANDING, 0.0f);
    Run(1);  // its own ball, right in it
    EXPECT_EQ(players[0].health, MATCH_HEALTH);
    EXPECT_EQ(GetProjectile(0).type, WEAPON_PLASMA);
}

TEST_F(MatchTest, RailHitsTheFirstPlayerBeforeTheFirstBrick)
{
    for (const bool wall : {false, true}) {
        SCOPED_TRACE(wall ? "behind a wall" : "open");
        LayOutMap();
        if (wall) {
            PutBricks(15, 15, 12, FLOOR_ROW - 1);
        }
        StartMatch();
        FireNow(1, WEAPON_RAIL);
        Run(1);
        const int32_t health = wall ? MATCH_HEALTH : MATCH_HEALTH - 100;
        EXPECT_EQ(players[1].health, health);
        // From the shooter at x -3 to the right edge, or to the wall.
        EXPECT_NEAR(GetProjectile(0).distance, wall ? 5.0f : 7.0f, 1e-4f);
        Run(100);
        EXPECT_EQ(players[1].health, health);  // one hit per beam
        EXPECT_EQ(players[0].health, MATCH_HEALTH);
        ASSERT_TRUE(RunUntil([] { return BusyProjectileSlots() == 0; }));
    }
}

// With no frag limit neither a frag nor a suicide ends the match.
TEST_F(MatchTest, FragsAndSuicidesAreScoredAndPrinted)
{
    C_Execute("g_fraglimit 0");
    Player1KillsPlayer2();
    EXPECT_TRUE(ConsoleHas("Player 1 fragged Player 2 (1:0)\n"));
    EXPECT_STREQ(CurrentMatch().feed[0].text, "Player 1 fragged Player 2 (1:0)");
    ASSERT_TRUE(RunUntil([] { return !CurrentMatch().dead[1]; }));

    // Player 2 fires into a wall right in front of it.
    PutBricks(10, 10, 13, FLOOR_ROW - 1);
    Place(2, 0.7f, STANDING, PI);
    players[1].health = 10;
    FireNow(2, WEAPON_ROCKET);
    ASSERT_TRUE(RunUntil([] { return CurrentMatch().dead[1]; }));
    EXPECT_TRUE(ConsoleHas("Player 2 fragged himself (1:-1)\n"));
    EXPECT_EQ(CurrentMatch().frags[0], 1);
    EXPECT_EQ(CurrentMatch().frags[1], -1);
    EXPECT_STREQ(CurrentMatch().feed[1].text, "Player 1 fragged Player 2 (1:0)");
    EXPECT_FALSE(CurrentMatch().over);
}

TEST_F(MatchTest, TheDeadWaitAndRespawnFarthestFromTheOpponent)
{
    Player1KillsPlayer2();
    const Pose fallen = players[1].pose;
    HurtPlayer(2, 500, 1);  // the dead die only once
    EXPECT_EQ(CurrentMatch().frags[0], 1);
    FireNow(2, WEAPON_PLASMA);
    int32_t move = MOVE_LEFT;
    PlayerControl(ACTION_MOVE, 2, &move);
    EXPECT_EQ(BusyProjectileSlots(), 0);
    EXPECT_EQ(players[1].horizontalVelocity, 0.0f);

    // Player 1 walks over to where player 2 fell and fires through it: the dead are not in the
    // way. The frame of the death and the one after it have run.
    Place(1, 2.0f, STANDING, 0.0f);
    Run(150);
    const int32_t health = players[1].health;
    FireNow(1, WEAPON_PLASMA);
    Run(40);
    EXPECT_EQ(BusyProjectileSlots(), 0);
    EXPECT_EQ(players[1].health, health);
    Run(8);
    EXPECT_TRUE(CurrentMatch().dead[1]);
    EXPECT_FLOAT_EQ(players[1].pose.x, fallen.x);
    Run(1);
    EXPECT_FALSE(CurrentMatch().dead[1]);
    EXPECT_EQ(players[1].health, MATCH_HEALTH);
    EXPECT_EQ(players[1].currentWeapon, WEAPON_ROCKET);
    EXPECT_NEAR(players[1].pose.x, -3.0f, 1e-5f);
    EXPECT_NEAR(players[1].pose.angle, 0.0f, 1e-5f);  // facing player 1
    FireNow(2, WEAPON_PLASMA);
    EXPECT_EQ(BusyProjectileSlots(), 1);
}

TEST_F(MatchTest, TheFragLimitEndsTheMatchUntilAFreshSpaceOrEscape)
{
    C_Execute("g_fraglimit 1");
    EXPECT_FALSE(MatchKeyDown(P_KEY_SPACE));  // player 1 holds fire while it wins
    Player1KillsPlayer2();
    EXPECT_TRUE(ConsoleHas("Player 1 fragged Player 2 (1:0)\nPlayer 1 wins the match (1:0)\n"));
    const MatchState &match = CurrentMatch();
    ASSERT_TRUE(match.over);
    EXPECT_EQ(match.winner, 1);
    EXPECT_FALSE(MatchLetsAct(players[0]));
    EXPECT_FALSE(MatchLetsAct(players[1]));
    Place(1, -3.0f, STANDING, 0.0f);
    players[0].horizontalVelocity = 0.02f;
    Run(300);
    EXPECT_FLOAT_EQ(players[0].pose.x, -3.0f);  // the world stands still
    EXPECT_TRUE(match.dead[1]);                 // and nobody respawns

    EXPECT_FALSE(MatchKeyDown(P_KEY_ENTER));
    EXPECT_TRUE(MatchKeyDown(P_KEY_SPACE));  // the held key's repeat is taken, and only that
    EXPECT_TRUE(match.over);
    MatchKeyUp(P_KEY_SPACE);
    EXPECT_TRUE(MatchKeyDown(P_KEY_ESCAPE));
    EXPECT_FALSE(match.over);
    EXPECT_EQ(match.frags[0], 0);
    EXPECT_FALSE(match.dead[1]);
    EXPECT_NEAR(players[1].pose.x, 3.0f, 1e-5f);
    EXPECT_TRUE(MatchLetsAct(players[0]));
    EXPECT_FALSE(MatchKeyDown(P_KEY_SPACE));  // Escape again is the menu's, Space fire's
}

TEST_F(MatchTest, TheTimeLimitEndsTheMatchWithALeaderOnly)
{
    C_Execute("g_timelimit 0.05");  // 3 seconds
    bool limited = false;
    EXPECT_EQ(MatchTimeLeft(&limited), 3000u - 10u);
    EXPECT_TRUE(limited);
    Run(400);
    EXPECT_EQ(MatchTimeLeft(&limited), 0u);
    EXPECT_FALSE(CurrentMatch().over);  // 0:0 goes on
    Player1KillsPlayer2();
    EXPECT_TRUE(ConsoleHas("Player 1 fragged Player 2 (1:0)\nPlayer 1 wins the match (1:0)\n"));
    EXPECT_TRUE(CurrentMatch().over);

    StartMatch();
    Player1KillsPlayer2();
    EXPECT_FALSE(CurrentMatch().over);
    ASSERT_TRUE(RunUntil([] { return CurrentMatch().over; }, 400));
    EXPECT_GE(CurrentMatch().playedMs, 3000u);
    EXPECT_EQ(CurrentMatch().winner, 1);
}

// g_match 1 again starts afresh; g_match 0 leaves the world to the plain game.
TEST_F(MatchTest, GMatchRestartsOrEndsTheMatch)
{
    Player1KillsPlayer2();
    C_Execute("g_match 1");
    AdvanceMatch(10);
    EXPECT_EQ(CurrentMatch().frags[0], 0);
    EXPECT_FALSE(CurrentMatch().dead[1]);
    EXPECT_NEAR(players[1].pose.x, 3.0f, 1e-5f);

    Player1KillsPlayer2();
    C_Execute("g_match 0");
    EXPECT_FALSE(MatchOn());
    EXPECT_TRUE(MatchLetsAct(players[1]));
    Place(1, 0.0f, -0.5f, 0.0f);  // in the floor: no collision moves it
    AdvanceMatch(10);
    EXPECT_FLOAT_EQ(players[0].pose.y, -0.5f);
    EXPECT_FALSE(MatchKeyDown(P_KEY_SPACE));
}

TEST_F(MatchTest, VariablesAreCheckedAndSavedOnlyWhenChanged)
{
    const struct {
        const char *line;
        const char *message;
    } cases[] = {{"g_match 2", "g_match must be 0 or 1.\n"},
                 {"g_timelimit 10001", "g_timelimit must be between 0 and 10000 minutes.\n"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        C_Execute(c.line);
        EXPECT_TRUE(ConsoleHas(c.message));
    }
    EXPECT_TRUE(MatchOn());
    C_Execute("g_match 0");
    savedVariables.clear();
    C_WriteExtensions(nullptr, SaveVariable);
    EXPECT_EQ(savedVariables, "");
    C_Execute("g_match 1");
    C_Execute("g_fraglimit 5");
    C_Execute("g_timelimit 2.5");
    savedVariables.clear();
    C_WriteExtensions(nullptr, SaveVariable);
    EXPECT_EQ(savedVariables, "g_match 1\ng_fraglimit 5\ng_timelimit 2.5\n");
}
}  // namespace
