#include "input/actions.h"

#include "console/commands.h"
#include "console/console.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "input/mouse.h"
#include "platform/timer.h"

#include <gtest/gtest.h>

namespace {
int shutdowns = 0;
int menuClicks = 0;
bool menuShown = true;

void CountShutdown() { ++shutdowns; }
void Nothing() {}
void CountMenuClick() { ++menuClicks; }
bool MenuShown() { return menuShown; }
float AimDivisor() { return 5.0f; }

class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_Init();
        ResetWeapons();
        BindDefaultKeys(ShellActions{CountShutdown, Nothing, Nothing});
        SetBindingsEnabled(false);
        SetMouseHooks(MouseHooks{MenuShown, AimDivisor, CountMenuClick});
        shutdowns = menuClicks = 0;
        menuShown = true;
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

// The shell decides what a click on the menu does; it is asked every tick the button is down.
TEST_F(ActionsTest, TheMenuIsClickedEveryTickTheButtonIsDown)
{
    MouseButtonDown(1);
    ProcessInput();
    ProcessInput();
    EXPECT_EQ(menuClicks, 2);
    MouseButtonUp(1);
    ProcessInput();
    EXPECT_EQ(menuClicks, 2);
    MouseButtonDown(2);
    ProcessInput();
    EXPECT_EQ(menuClicks, 2);
}

TEST_F(ActionsTest, InPlayTheLeftButtonFiresForPlayerTwo)
{
    InitGameplay();
    menuShown = false;
    players[1].currentWeapon = WEAPON_PLASMA;
    MouseButtonDown(1);
    ProcessInput();
    EXPECT_EQ(GetProjectile(0).type, WEAPON_PLASMA);
    EXPECT_EQ(menuClicks, 0);
}
}  // namespace
