#include "input/actions.h"

#include "console/console.h"
#include "console/drop_down.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "input/mouse.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

namespace {
int shutdowns = 0;
int musicStarts = 0;
int clicksAsked = 0;
int32_t clickAnswer = 0;
double askedAt[2] = {0.0, 0.0};

void CountShutdown() { ++shutdowns; }
void CountMusicStart() { ++musicStarts; }
void Nothing() {}
int32_t AnswerClick(double x, double y)
{
    ++clicksAsked;
    askedAt[0] = x;
    askedAt[1] = y;
    return clickAnswer;
}

class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        ResetWeapons();
        BindDefaultKeys(ShellActions{CountShutdown, Nothing, Nothing});
        SetBindingsEnabled(false);
        SetMouseHooks(MouseHooks{&menuVisible, cursorWorld, &aimDivisor, &musicPending, AnswerClick,
                                 CountMusicStart, CountShutdown});
        shutdowns = musicStarts = clicksAsked = 0;
        for (Player &player : players) {
            player.currentWeapon = WEAPON_ROCKET;
            player.pose = Pose{0.0f, 1.0f, 0.0f};
            for (uint32_t &time : player.lastShotTimes) {
                time = P_Ticks() - 10000;  // long reloaded
            }
        }
    }
    void TearDown() override
    {
        MouseButtonUp(1);
        C_Shutdown();
    }
    static void Press(uint32_t key)
    {
        KeyDown(key);
        DispatchHeldKeys();
        KeyUp(key);
    }

    bool menuVisible = true;
    double cursorWorld[2] = {1.0, 1.0};
    float aimDivisor = 5.0f;
    bool musicPending = true;
};

// Both players step one shared counter: Q then Numpad 0 gives 2 to the first and 3 to the second.
TEST_F(ActionsTest, WeaponCycleIsSharedByBothPlayers)
{
    while (NextCycledWeapon() != 4) {
    }
    Press('Q');
    Press(96);
    EXPECT_EQ(players[0].currentWeapon, WEAPON_ROCKET);
    EXPECT_EQ(players[1].currentWeapon, WEAPON_RAIL);
    Press('Q');
    EXPECT_EQ(players[0].currentWeapon, WEAPON_PLASMA);
}

TEST_F(ActionsTest, F12IsARepeatBindingForShutdown)
{
    KeyDown(123);
    DispatchHeldKeys();
    DispatchHeldKeys();
    EXPECT_EQ(shutdowns, 2);
}

TEST_F(ActionsTest, MenuClickStartsTheMusicOnceAndPlayIsAskedEveryTick)
{
    clickAnswer = 1;
    MouseButtonDown(1);
    ProcessInput();
    ProcessInput();
    EXPECT_EQ(clicksAsked, 2);
    EXPECT_DOUBLE_EQ(askedAt[0], 1.0);
    EXPECT_EQ(musicStarts, 1);
    EXPECT_FALSE(musicPending);
}

TEST_F(ActionsTest, MissedClickStillUsesUpTheMusicStart)
{
    clickAnswer = 0;
    MouseButtonDown(1);
    ProcessInput();
    EXPECT_FALSE(musicPending);
    EXPECT_EQ(musicStarts, 0);
    clickAnswer = 2;
    ProcessInput();
    EXPECT_EQ(shutdowns, 1);
}

TEST_F(ActionsTest, NoClicksUnderAnOpenConsole)
{
    C_KeyEvent(C_CHARACTER, '`');
    MouseButtonDown(1);
    ProcessInput();
    EXPECT_EQ(clicksAsked, 0);
    EXPECT_TRUE(musicPending);
}

TEST_F(ActionsTest, InPlayTheLeftButtonFiresForPlayerTwo)
{
    InitGameplay();
    menuVisible = false;
    players[1].currentWeapon = WEAPON_PLASMA;
    MouseButtonDown(1);
    ProcessInput();
    EXPECT_EQ(GetProjectile(0).type, WEAPON_PLASMA);
    EXPECT_EQ(clicksAsked, 0);
}
}  // namespace
