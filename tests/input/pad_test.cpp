#include "input/pad.h"

#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "input/actions.h"
#include "platform/timer.h"
#include "tests/console/console_fixture.h"
#include "tests/support/virtual_pad.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {
constexpr float DEGREES_TO_RADIANS = 0.017453292f;

class PadTest : public ConsoleFolderTest {
protected:
    void SetUp() override
    {
        ConsoleFolderTest::SetUp();
        InitGameplay();  // the reload times
        InitPads();
        Rest();
        output.Skip();
    }
    void TearDown() override
    {
        ShutdownPads();
        ConsoleFolderTest::TearDown();
    }

    // Both players standing, facing left, aiming straight left, rocket launcher long reloaded.
    static void Rest()
    {
        for (Player &player : players) {
            player.pose = Pose{0.0f, 1.0f, PI};
            player.walk.facing = 0;
            player.horizontalVelocity = 0.0f;
            player.jumpVelocity = 0.0f;
            player.airborne = 0;
            player.currentWeapon = WEAPON_ROCKET;
            for (uint32_t &time : player.lastShotTimes) {
                time = P_Ticks() - 10000;
            }
        }
    }

    static bool Fired(const Player &player)
    {
        return P_Ticks() - player.lastShotTimes[player.currentWeapon] < 5000;
    }

    // One tick as the game runs it: the event pump, then the pads.
    static bool Tick(bool inPlay = true)
    {
        PumpPadEvents();
        return DispatchPads(inPlay);
    }

    // Which player a push of the pad's left stick walks: 1, 2, 0 for nobody, 3 for both.
    static int WhoWalks(VirtualPad &pad)
    {
        Rest();
        pad.SetStick(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
        Tick();
        pad.SetStick(SDL_CONTROLLER_AXIS_LEFTX, 0.0f);
        Tick();
        return (players[0].horizontalVelocity > 0.0f ? 1 : 0) +
               (players[1].horizontalVelocity > 0.0f ? 2 : 0);
    }
};

// One pad drives player 2; with two the first drives 1 and the second 2, and a pad pulled and
// plugged again takes its number and its player back. Every change is told once.
TEST_F(PadTest, WhichPadDrivesWhichPlayer)
{
    VirtualPad first("Left pad");
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 1 (Left pad) drives player 2\n");
    EXPECT_EQ(WhoWalks(first), 2);

    auto second = std::make_unique<VirtualPad>("Right pad");
    PumpPadEvents();
    EXPECT_EQ(output.Printed(),
              "Pad 1 (Left pad) drives player 1\nPad 2 (Right pad) drives player 2\n");
    EXPECT_EQ(WhoWalks(first), 1);
    EXPECT_EQ(WhoWalks(*second), 2);

    first.Unplug();
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 1 (Left pad) unplugged\n");
    EXPECT_EQ(WhoWalks(*second), 2);

    VirtualPad again("Left pad");
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 1 (Left pad) drives player 1\n");
    EXPECT_EQ(WhoWalks(again), 1);
    EXPECT_EQ(WhoWalks(*second), 2);

    second->Unplug();
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 2 (Right pad) unplugged\nPad 1 (Left pad) drives player 2\n");
    EXPECT_EQ(WhoWalks(again), 2);
}

TEST_F(PadTest, AThirdPadWaitsForAFreePlayer)
{
    auto first = std::make_unique<VirtualPad>("One");
    VirtualPad second("Two");
    VirtualPad third("Three");
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 1 (One) drives player 2\n"
                                "Pad 1 (One) drives player 1\nPad 2 (Two) drives player 2\n"
                                "Pad 3 (Three) waits: both players have a pad\n");
    EXPECT_EQ(WhoWalks(third), 0);

    first->Unplug();
    PumpPadEvents();
    EXPECT_EQ(output.Printed(), "Pad 1 (One) unplugged\n"
                                "Pad 2 (Two) drives player 1\nPad 3 (Three) drives player 2\n");
    EXPECT_EQ(WhoWalks(third), 2);
}

// The deadzone is the part of each stick's travel, from its centre, that does nothing; values
// outside 0 to 1 are refused and keep the one before.
TEST_F(PadTest, Deadzone)
{
    VirtualPad pad("Pad");
    const char *const start = "\"joy_deadzone\" is \"0.250000\"\n";
    const char *const refused = "joy_deadzone must be between 0 and 1.\n";
    const struct {
        const char *command;
        const char *answer;
        float push;
        float velocity;
    } cases[] = {
        {"joy_deadzone", start, -0.3f, -0.02f},      {"joy_deadzone 0.5", "", 0.45f, 0.0f},
        {"joy_deadzone 1.5", refused, 0.55f, 0.02f}, {"joy_deadzone -0.1", refused, 0.45f, 0.0f},
        {"joy_deadzone 1", "", 1.0f, 0.0f},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(std::string(test.command) + " push " + std::to_string(test.push));
        EXPECT_EQ(Execute(test.command), std::string("]") + test.command + "\n" + test.answer);
        Rest();
        pad.SetStick(SDL_CONTROLLER_AXIS_LEFTX, test.push);
        Tick();
        EXPECT_EQ(players[1].horizontalVelocity, test.velocity);
    }
}

// Up on the right stick turns the aim up. A full push turns 4 degrees a tick, as an aim key does;
// past the deadzone the turn grows evenly from nothing.
TEST_F(PadTest, TheRightStickAims)
{
    VirtualPad pad("Pad");
    const struct {
        float push;  // the stick's own sign: up is negative
        float degreesUp;
    } cases[] = {{-0.625f, 2.0f}, {1.0f, -4.0f}};
    for (const auto &test : cases) {
        SCOPED_TRACE(test.push);
        Rest();
        pad.SetStick(SDL_CONTROLLER_AXIS_RIGHTY, test.push);
        Tick();
        // Facing left, turning up lowers the angle from pi.
        EXPECT_NEAR(players[1].pose.angle, PI - test.degreesUp * DEGREES_TO_RADIANS, 1e-4);
    }
}

// Each control on its own, pressed once from rest, for the pad's player (player 2) alone.
TEST_F(PadTest, EachControlsAction)
{
    VirtualPad pad("Pad");
    while (NextCycledWeapon() != WEAPON_ROCKET) {  // the next cycle picks the rail gun
    }
    constexpr int NO_BUTTON = -1;
    constexpr SDL_GameControllerAxis NO_AXIS = SDL_CONTROLLER_AXIS_INVALID;
    const struct {
        int button;
        SDL_GameControllerAxis trigger;
        float pull;
        int32_t startWeapon;
        const char *effect;
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_A, NO_AXIS, 0, WEAPON_ROCKET, "jump"},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, NO_AXIS, 0, WEAPON_ROCKET, ""},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, NO_AXIS, 0, WEAPON_ROCKET, "left"},
        {NO_BUTTON, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.6f, WEAPON_ROCKET, "fire"},
        {NO_BUTTON, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.4f, WEAPON_ROCKET, ""},
        {SDL_CONTROLLER_BUTTON_Y, NO_AXIS, 0, WEAPON_ROCKET, "weapon 4"},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, NO_AXIS, 0, WEAPON_PLASMA, "weapon 3"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(testing::Message() << "button " << test.button << " trigger " << test.trigger);
        Rest();
        players[1].currentWeapon = test.startWeapon;
        const auto press = [&](bool down) {
            if (test.button != NO_BUTTON) {
                pad.SetButton(SDL_GameControllerButton(test.button), down);
            } else {
                pad.SetTrigger(test.trigger, down ? test.pull : 0.0f);
            }
        };
        press(true);
        // What player 2 did, one word each: none of the cases does two things.
        std::string effect = Tick() ? "start" : "";
        const Player &player = players[1];
        if (player.currentWeapon != test.startWeapon) {
            effect += "weapon " + std::to_string(player.currentWeapon);
        }
        const float walk = player.horizontalVelocity;
        effect += walk == -0.02f ? "left" : walk == 0.02f ? "right" : walk != 0.0f ? "walk" : "";
        effect += player.airborne != 0 ? "jump" : "";
        effect += Fired(player) ? "fire" : "";
        effect += player.pose.angle != (walk > 0.0f ? 0.0f : PI) ? " aimed" : "";
        EXPECT_EQ(effect, test.effect);
        EXPECT_EQ(players[0].currentWeapon, WEAPON_ROCKET) << "player 1 was touched";
        EXPECT_EQ(players[0].horizontalVelocity, 0.0f) << "player 1 was touched";
        press(false);
        Tick();
    }
}

// Picks, cycling and Start act once per press; walking and fire go on every tick while held.
TEST_F(PadTest, OncePerPressAndRepeatWhileHeld)
{
    VirtualPad pad("Pad");
    pad.SetButton(SDL_CONTROLLER_BUTTON_X, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_START, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    const int32_t before = NextCycledWeapon();
    EXPECT_TRUE(Tick());
    EXPECT_EQ(players[1].currentWeapon, before == 4 ? 2 : before + 1) << "not the shared cycle";
    const int32_t cycled = NextCycledWeapon();
    for (int tick = 2; tick <= 3; ++tick) {
        SCOPED_TRACE(tick);
        Rest();
        players[1].currentWeapon = WEAPON_PLASMA;
        EXPECT_FALSE(Tick());
        EXPECT_EQ(players[1].currentWeapon, WEAPON_PLASMA);
        EXPECT_EQ(players[1].horizontalVelocity, 0.02f);
    }
    EXPECT_EQ(NextCycledWeapon(), cycled == 4 ? 2 : cycled + 1) << "held, the cycle stepped on";

    pad.SetButton(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    for (int tick = 1; tick <= 2; ++tick) {
        SCOPED_TRACE(tick);
        Rest();  // the weapon has reloaded
        Tick();
        EXPECT_TRUE(Fired(players[1]));
    }
    pad.SetButton(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);

    pad.SetButton(SDL_CONTROLLER_BUTTON_X, false);
    pad.SetButton(SDL_CONTROLLER_BUTTON_START, false);
    Tick();
    pad.SetButton(SDL_CONTROLLER_BUTTON_X, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_START, true);
    Rest();
    EXPECT_TRUE(Tick());
    EXPECT_EQ(players[1].currentWeapon, WEAPON_RAIL);
}

// Out of play nothing acts but Start; a button pressed then does not act when play resumes,
// while a held direction walks at once.
TEST_F(PadTest, OutOfPlayOnlyStartActs)
{
    VirtualPad pad("Pad");
    Tick(false);
    pad.SetButton(SDL_CONTROLLER_BUTTON_Y, true);
    pad.SetButton(SDL_CONTROLLER_BUTTON_A, true);
    pad.SetStick(SDL_CONTROLLER_AXIS_LEFTX, 1.0f);
    pad.SetStick(SDL_CONTROLLER_AXIS_RIGHTY, -1.0f);
    pad.SetTrigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 1.0f);
    EXPECT_FALSE(Tick(false));
    EXPECT_EQ(players[1].currentWeapon, WEAPON_ROCKET);
    EXPECT_EQ(players[1].horizontalVelocity, 0.0f);
    EXPECT_EQ(players[1].airborne, 0);
    EXPECT_EQ(players[1].pose.angle, PI);
    EXPECT_FALSE(Fired(players[1]));

    pad.SetButton(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_TRUE(Tick(false));

    // Without fire, whose shot would make any pick wait for the reload.
    pad.SetTrigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0.0f);
    Tick(true);
    EXPECT_EQ(players[1].currentWeapon, WEAPON_ROCKET) << "a press on the menu acted in play";
    EXPECT_EQ(players[1].horizontalVelocity, 0.02f);
    EXPECT_EQ(players[1].airborne, 1);
}
}  // namespace
