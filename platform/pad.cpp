#include "platform/pad.h"

#include "platform/pad_internal.h"

#include <cstdio>

#include <SDL.h>

namespace {
// clang-format off
constexpr struct { SDL_GameControllerButton button; uint32_t bit; } BUTTONS[] = {
    {SDL_CONTROLLER_BUTTON_A, P_PAD_A},                          // south
    {SDL_CONTROLLER_BUTTON_B, P_PAD_B},                          // east
    {SDL_CONTROLLER_BUTTON_X, P_PAD_X},                          // west
    {SDL_CONTROLLER_BUTTON_Y, P_PAD_Y},                          // north
    {SDL_CONTROLLER_BUTTON_BACK, P_PAD_BACK},
    {SDL_CONTROLLER_BUTTON_GUIDE, P_PAD_GUIDE},
    {SDL_CONTROLLER_BUTTON_START, P_PAD_START},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, P_PAD_LEFT_STICK},        // pressing the stick in
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, P_PAD_RIGHT_STICK},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, P_PAD_LEFT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, P_PAD_RIGHT_SHOULDER},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, P_PAD_DPAD_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, P_PAD_DPAD_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, P_PAD_DPAD_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, P_PAD_DPAD_RIGHT},
};
// clang-format on

struct Pad {
    SDL_GameController *controller;  // null: the slot is free
    SDL_JoystickID instance;
    char name[P_PAD_NAME_SIZE];
};

Pad pads[P_PAD_SLOTS];
P_PadHook padHook = nullptr;
bool padsStarted = false;

// The console's font draws printable ASCII only; a long name is cut to fit one line.
void CopyName(char *out, const char *name)
{
    const char *const given = name != nullptr && name[0] != '\0' ? name : "unnamed";
    int32_t length = 0;
    for (; given[length] != '\0' && length < P_PAD_NAME_SIZE - 1; ++length) {
        const char c = given[length];
        out[length] = c >= ' ' && c <= '~' ? c : '?';
    }
    out[length] = '\0';
}

int32_t SlotOf(SDL_JoystickID instance)
{
    for (int32_t slot = 0; slot < P_PAD_SLOTS; ++slot) {
        if (pads[slot].controller != nullptr && pads[slot].instance == instance) {
            return slot;
        }
    }
    return -1;
}

int32_t FreeSlot()
{
    for (int32_t slot = 0; slot < P_PAD_SLOTS; ++slot) {
        if (pads[slot].controller == nullptr) {
            return slot;
        }
    }
    return -1;
}

// The negative side has one step more than the positive, so each side is scaled on its own and
// a stick pushed all the way reads exactly -1 or 1.
float Stick(SDL_GameController *controller, SDL_GameControllerAxis axis)
{
    const Sint16 raw = SDL_GameControllerGetAxis(controller, axis);
    return raw < 0 ? float(raw) / 32768.0f : float(raw) / 32767.0f;
}

float Trigger(SDL_GameController *controller, SDL_GameControllerAxis axis)
{
    const Sint16 raw = SDL_GameControllerGetAxis(controller, axis);
    return raw <= 0 ? 0.0f : float(raw) / 32767.0f;
}
}  // namespace

bool P_InitPads(P_PadHook hook)
{
    padHook = hook;
    if (padsStarted) {
        return true;
    }
    // Counted by SDL: this neither needs nor disturbs the video system the window started.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        fprintf(stderr, "Pads: no controller support (%s)\n", SDL_GetError());
        return false;
    }
    padsStarted = true;
    return true;
}

void P_ShutdownPads()
{
    padHook = nullptr;
    if (!padsStarted) {
        return;
    }
    for (Pad &pad : pads) {
        if (pad.controller != nullptr) {
            SDL_GameControllerClose(pad.controller);
        }
        pad = Pad{};
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    padsStarted = false;
}

void P_PadAdded(int32_t deviceIndex)
{
    if (!padsStarted) {
        return;
    }
    const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    // A pad present at start-up may be announced twice; it keeps the slot it has.
    if (instance < 0 || SlotOf(instance) >= 0) {
        return;
    }
    const int32_t slot = FreeSlot();
    if (slot < 0) {
        return;
    }
    SDL_GameController *const controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        return;  // pulled again before its event was taken
    }
    Pad &pad = pads[slot];
    pad.controller = controller;
    pad.instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    CopyName(pad.name, SDL_GameControllerName(controller));
    if (padHook != nullptr) {
        padHook(slot, true, pad.name);
    }
}

void P_PadRemoved(int32_t instanceId)
{
    const int32_t slot = SlotOf(instanceId);
    if (slot < 0) {
        return;
    }
    Pad &pad = pads[slot];
    SDL_GameControllerClose(pad.controller);
    pad.controller = nullptr;
    if (padHook != nullptr) {
        padHook(slot, false, pad.name);
    }
    pad = Pad{};
}

bool P_ReadPad(int32_t slot, P_PadState *state)
{
    *state = P_PadState{};
    if (slot < 0 || slot >= P_PAD_SLOTS || pads[slot].controller == nullptr) {
        return false;
    }
    SDL_GameController *const controller = pads[slot].controller;
    state->leftX = Stick(controller, SDL_CONTROLLER_AXIS_LEFTX);
    state->leftY = Stick(controller, SDL_CONTROLLER_AXIS_LEFTY);
    state->rightX = Stick(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    state->rightY = Stick(controller, SDL_CONTROLLER_AXIS_RIGHTY);
    state->leftTrigger = Trigger(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    state->rightTrigger = Trigger(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    for (const auto &entry : BUTTONS) {
        if (SDL_GameControllerGetButton(controller, entry.button) != 0) {
            state->buttons |= entry.bit;
        }
    }
    return true;
}
