#include "platform/pad.h"

#include "tests/support/virtual_pad.h"

#include <memory>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

namespace {
std::vector<std::string> told;  // what the hook was told, as "+slot name" or "-slot name"

void RecordChange(int32_t slot, bool plugged, const char *name)
{
    told.push_back((plugged ? "+" : "-") + std::to_string(slot) + " " + name);
}

class PadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        told.clear();
        ASSERT_TRUE(P_InitPads(RecordChange));
    }
    void TearDown() override { P_ShutdownPads(); }
};

// A new pad takes the lowest free slot, so a pad pulled and plugged again comes back where it
// was while the other keeps its own.
TEST_F(PadTest, PlugAndPullThroughTheEventPump)
{
    VirtualPad left("Left pad");
    PumpPadEvents();
    auto right = std::make_unique<VirtualPad>("Right pad");
    PumpPadEvents();
    EXPECT_EQ(told, (std::vector<std::string>{"+0 Left pad", "+1 Right pad"}));

    left.Unplug();
    PumpPadEvents();
    P_PadState state;
    EXPECT_FALSE(P_ReadPad(0, &state));
    EXPECT_TRUE(P_ReadPad(1, &state));
    VirtualPad again("Left again");
    PumpPadEvents();
    right->Unplug();
    PumpPadEvents();
    EXPECT_EQ(told, (std::vector<std::string>{"+0 Left pad", "+1 Right pad", "-0 Left pad",
                                              "+0 Left again", "-1 Right pad"}));
    EXPECT_TRUE(P_ReadPad(0, &state));
    EXPECT_FALSE(P_ReadPad(1, &state));
}

// The console's font draws printable ASCII only, and a name must leave room on its line.
TEST_F(PadTest, NamesAreCutAndMadePrintable)
{
    const std::string longName(60, 'n');
    const std::pair<std::string, std::string> cases[] = {
        {"Pad \xc3\xa9t\xc3\xa9", "+0 Pad ??t??"},
        {longName, "+0 " + longName.substr(0, P_PAD_NAME_SIZE - 1)},
    };
    for (const auto &[name, expected] : cases) {
        SCOPED_TRACE(name);
        PumpPadEvents();  // the pad of the case before leaves
        told.clear();
        VirtualPad pad(name.c_str());
        PumpPadEvents();
        EXPECT_EQ(told, std::vector<std::string>{expected});
    }
}

// A pad plugged in before the controller layer starts arrives through the pump like any other;
// should the layer announce it once more, it keeps its one slot. Shutting down closes it without
// telling anyone, and leaves the slots empty.
TEST(PadStartTest, APadPresentAtStartIsAnnouncedOnce)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0);
    told.clear();
    {
        VirtualPad early("Early pad");
        ASSERT_TRUE(P_InitPads(RecordChange));
        PumpPadEvents();
        SDL_Event again = {};
        again.type = SDL_CONTROLLERDEVICEADDED;
        again.cdevice.which = 0;
        SDL_PushEvent(&again);
        PumpPadEvents();
        EXPECT_EQ(told, std::vector<std::string>{"+0 Early pad"});
        P_PadState state;
        EXPECT_FALSE(P_ReadPad(1, &state));
        told.clear();
        P_ShutdownPads();
        EXPECT_TRUE(told.empty());
        EXPECT_FALSE(P_ReadPad(0, &state));
    }
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

// Every stick axis lands in its own field, scaled so both ends read exactly 1, and every button
// sets a bit of its own. The triggers are read through the game's controls in tests/input.
TEST_F(PadTest, SticksAndButtons)
{
    VirtualPad pad("Pad");
    PumpPadEvents();
    P_PadState state;
    ASSERT_TRUE(P_ReadPad(0, &state));
    EXPECT_EQ(state.leftX, 0.0f);
    EXPECT_EQ(state.buttons, 0u);

    const struct {
        SDL_GameControllerAxis axis;
        float P_PadState::*field;
    } axes[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, &P_PadState::leftX},
        {SDL_CONTROLLER_AXIS_LEFTY, &P_PadState::leftY},
        {SDL_CONTROLLER_AXIS_RIGHTX, &P_PadState::rightX},
        {SDL_CONTROLLER_AXIS_RIGHTY, &P_PadState::rightY},
    };
    for (const auto &axis : axes) {
        for (const auto &[raw, read] :
             {std::pair<int16_t, float>{-32768, -1.0f}, {-16384, -0.5f}, {32767, 1.0f}, {0, 0}}) {
            SCOPED_TRACE(std::to_string(axis.axis) + " at " + std::to_string(raw));
            pad.SetAxis(axis.axis, raw);
            PumpPadEvents();
            ASSERT_TRUE(P_ReadPad(0, &state));
            EXPECT_EQ(state.*axis.field, read);
            const float sum = state.leftX + state.leftY + state.rightX + state.rightY;
            EXPECT_EQ(sum, read) << "another stick field moved";
        }
    }

    uint32_t seen = 0;
    for (int button = 0; button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT; ++button) {
        SCOPED_TRACE(button);
        pad.SetButton(SDL_GameControllerButton(button), true);
        PumpPadEvents();
        ASSERT_TRUE(P_ReadPad(0, &state));
        pad.SetButton(SDL_GameControllerButton(button), false);
        EXPECT_EQ(state.buttons & (state.buttons - 1), 0u) << "more than one bit";
        EXPECT_NE(state.buttons, 0u);
        EXPECT_EQ(state.buttons & seen, 0u) << "a bit shared with another button";
        seen |= state.buttons;
    }
}

// The window starts video before the pads and stops it before them: neither may stop the other.
TEST(PadVideoTest, PadsNeitherNeedNorStopVideo)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    told.clear();
    ASSERT_TRUE(P_InitPads(RecordChange));
    P_ShutdownPads();
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u);

    ASSERT_TRUE(P_InitPads(RecordChange));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    {
        VirtualPad pad("After video");
        PumpPadEvents();
        EXPECT_EQ(told, std::vector<std::string>{"+0 After video"});
    }
    P_ShutdownPads();
    P_ShutdownPads();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
    SDL_SetHint(SDL_HINT_VIDEODRIVER, nullptr);
}

}  // namespace
