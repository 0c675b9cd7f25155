#include "input/pad.h"

#include "console/console.h"
#include "console/registry.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "input/actions.h"
#include "platform/pad.h"

#include <cstdio>

namespace {
constexpr float DEFAULT_DEADZONE = 0.25f;
// A stick pushed all the way turns the aim as fast as holding an aim key: 4 degrees a tick.
constexpr float AIM_DEGREES_AT_FULL_PUSH = 4.0f;
// Past half way, so a finger resting on the trigger does not fire.
constexpr float TRIGGER_FIRES_AT = 0.5f;
constexpr int32_t NOBODY = 0;
constexpr int32_t NOT_SEATED = -1;  // just plugged: its first seat is told whatever it is

struct PadSeat {
    bool plugged;
    int32_t player;         // 1 or 2, NOBODY while it waits
    uint32_t heldLastTick;  // P_PAD_ bits, for the once-per-press buttons
    char name[P_PAD_NAME_SIZE];
};

PadSeat seats[P_PAD_SLOTS];
// The part of each stick's travel, from its centre, that does nothing.
float deadzone = DEFAULT_DEADZONE;

void SetDeadzone()
{
    const float value = C_ArgFloat();
    if (!(value >= 0.0f && value <= 1.0f)) {
        C_Print("joy_deadzone must be between 0 and 1.\n", nullptr);
        return;
    }
    deadzone = value;
}

void ReportDeadzone() { C_ReportFloat(deadzone); }

void PrintSeat(int32_t slot, const char *what)
{
    char line[C_LINE_SIZE];
    snprintf(line, sizeof line, "Pad %d (%s) %s\n", int(slot + 1), seats[slot].name, what);
    C_Print(line, nullptr);
}

// One pad drives player 2; otherwise the first two drive 1 and 2. Only changes are told.
void SeatPlayers()
{
    int32_t plugged = 0;
    for (const PadSeat &seat : seats) {
        plugged += seat.plugged ? 1 : 0;
    }
    int32_t nextPlayer = plugged == 1 ? 2 : 1;
    for (int32_t slot = 0; slot < P_PAD_SLOTS; ++slot) {
        PadSeat &seat = seats[slot];
        if (!seat.plugged) {
            continue;
        }
        const int32_t player = nextPlayer <= 2 ? nextPlayer++ : NOBODY;
        if (player == seat.player) {
            continue;
        }
        seat.player = player;
        PrintSeat(slot, player == 1   ? "drives player 1"
                        : player == 2 ? "drives player 2"
                                      : "waits: both players have a pad");
    }
}

void OnPadChange(int32_t slot, bool plugged, const char *name)
{
    if (slot < 0 || slot >= P_PAD_SLOTS) {
        return;
    }
    PadSeat &seat = seats[slot];
    if (plugged) {
        seat = PadSeat{true, NOT_SEATED, 0, {}};
        snprintf(seat.name, sizeof seat.name, "%s", name);
    } else {
        PrintSeat(slot, "unplugged");
        seat = PadSeat{};
    }
    SeatPlayers();
}

// How far a stick is pushed past the deadzone: 0 inside it, rising to 1 (with the stick's sign)
// at the end of its travel, so the aim starts gently at the deadzone's edge.
float PastDeadzone(float value)
{
    const float push = value < 0.0f ? -value : value;
    if (push <= deadzone || deadzone >= 1.0f) {
        return 0.0f;
    }
    const float scaled = (push - deadzone) / (1.0f - deadzone);
    const float bounded = scaled > 1.0f ? 1.0f : scaled;
    return value < 0.0f ? -bounded : bounded;
}

void Control(uint32_t action, int32_t player, int32_t argument)
{
    PlayerControl(action, player, &argument);
}

// Fire comes before the picks, as player 1's Space comes before 1, 2 and 3.
void Drive(int32_t player, const P_PadState &pad, uint32_t pressed)
{
    const float walk = PastDeadzone(pad.leftX);
    if (walk < 0.0f || (pad.buttons & P_PAD_DPAD_LEFT) != 0) {
        Control(ACTION_MOVE, player, MOVE_LEFT);
    }
    if (walk > 0.0f || (pad.buttons & P_PAD_DPAD_RIGHT) != 0) {
        Control(ACTION_MOVE, player, MOVE_RIGHT);
    }
    if (pad.rightTrigger >= TRIGGER_FIRES_AT || (pad.buttons & P_PAD_RIGHT_SHOULDER) != 0) {
        PlayerControl(ACTION_FIRE, player, nullptr);
    }
    // The stick's up is negative; a positive aim turns up, as the mouse moved forward does.
    const float aim = -PastDeadzone(pad.rightY) * AIM_DEGREES_AT_FULL_PUSH;
    if (aim != 0.0f) {
        PlayerControl(ACTION_AIM, player, &aim);
    }
    if ((pressed & P_PAD_X) != 0) {
        Control(ACTION_SELECT_WEAPON, player, WEAPON_RAIL);
    }
    if ((pressed & P_PAD_Y) != 0) {
        Control(ACTION_SELECT_WEAPON, player, WEAPON_PLASMA);
    }
    if ((pressed & P_PAD_B) != 0) {
        Control(ACTION_SELECT_WEAPON, player, WEAPON_ROCKET);
    }
    if ((pad.buttons & P_PAD_A) != 0) {
        Control(ACTION_MOVE, player, MOVE_JUMP);
    }
    if ((pressed & P_PAD_LEFT_SHOULDER) != 0) {
        Control(ACTION_SELECT_WEAPON, player, NextCycledWeapon());
    }
}
}  // namespace

void InitPads()
{
    for (PadSeat &seat : seats) {
        seat = PadSeat{};
    }
    deadzone = DEFAULT_DEADZONE;
    C_AddVariable("joy_deadzone", SetDeadzone, ReportDeadzone, DEFAULT_DEADZONE);
    if (!P_InitPads(OnPadChange)) {
        C_Print("Pads : no controller support, playing without pads.\n", nullptr);
    }
}

void ShutdownPads()
{
    P_ShutdownPads();
    for (PadSeat &seat : seats) {
        seat = PadSeat{};
    }
}

bool DispatchPads(bool inPlay)
{
    bool startPressed = false;
    for (int32_t slot = 0; slot < P_PAD_SLOTS; ++slot) {
        PadSeat &seat = seats[slot];
        P_PadState pad;
        if (!seat.plugged || !P_ReadPad(slot, &pad)) {
            continue;
        }
        // Kept in and out of play, so a button pressed on the menu does not act on leaving it.
        const uint32_t pressed = pad.buttons & ~seat.heldLastTick;
        seat.heldLastTick = pad.buttons;
        startPressed = startPressed || (pressed & P_PAD_START) != 0;
        if (inPlay && seat.player != NOBODY) {
            Drive(seat.player, pad, pressed);
        }
    }
    return startPressed;
}

bool PadsAtRest()
{
    for (int32_t slot = 0; slot < P_PAD_SLOTS; ++slot) {
        P_PadState pad;
        if (!seats[slot].plugged || !P_ReadPad(slot, &pad)) {
            continue;
        }
        // Anything a trigger does fires at some pull: any pull at all counts.
        if (pad.buttons != 0 || PastDeadzone(pad.leftX) != 0.0f ||
            PastDeadzone(pad.leftY) != 0.0f || PastDeadzone(pad.rightX) != 0.0f ||
            PastDeadzone(pad.rightY) != 0.0f || pad.leftTrigger != 0.0f ||
            pad.rightTrigger != 0.0f) {
            return false;
        }
    }
    return true;
}
