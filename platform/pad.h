#pragma once

#include <cstdint>

// Gamepads. A plugged pad takes the lowest free slot and keeps it until it is pulled; the event
// pump opens and closes pads as they come and go and tells the game through the pad hook. Pads
// already plugged in when P_InitPads runs arrive through the pump like any later one. Reading a
// pad allocates nothing.

constexpr int32_t P_PAD_SLOTS = 4;
constexpr int32_t P_PAD_NAME_SIZE = 40;  // with the game's words around it, one console line

// Bits of P_PadState::buttons. A, B, X and Y name the face buttons by place: south, east, west,
// north, whatever the pad prints on them.
constexpr uint32_t P_PAD_A = 1u << 0;
constexpr uint32_t P_PAD_B = 1u << 1;
constexpr uint32_t P_PAD_X = 1u << 2;
constexpr uint32_t P_PAD_Y = 1u << 3;
constexpr uint32_t P_PAD_BACK = 1u << 4;
constexpr uint32_t P_PAD_GUIDE = 1u << 5;
constexpr uint32_t P_PAD_START = 1u << 6;
constexpr uint32_t P_PAD_LEFT_STICK = 1u << 7;
constexpr uint32_t P_PAD_RIGHT_STICK = 1u << 8;
constexpr uint32_t P_PAD_LEFT_SHOULDER = 1u << 9;
constexpr uint32_t P_PAD_RIGHT_SHOULDER = 1u << 10;
constexpr uint32_t P_PAD_DPAD_UP = 1u << 11;
constexpr uint32_t P_PAD_DPAD_DOWN = 1u << 12;
constexpr uint32_t P_PAD_DPAD_LEFT = 1u << 13;
constexpr uint32_t P_PAD_DPAD_RIGHT = 1u << 14;

struct P_PadState {
    float leftX;  // sticks: -1 left or up .. 1 right or down, 0 at rest
    float leftY;
    float rightX;
    float rightY;
    float leftTrigger;  // 0 released .. 1 pulled all the way
    float rightTrigger;
    uint32_t buttons;  // P_PAD_ bits of the buttons held
};

// Called from the event pump when a pad comes into `slot` (plugged) or leaves it; `name` is the
// pad's name, printable ASCII, valid during the call only.
using P_PadHook = void (*)(int32_t slot, bool plugged, const char *name);

// Starts the controller layer, with or without video, and sets the hook (null for none). False,
// with the reason on stderr, when there is no controller layer: the game goes on without pads.
bool P_InitPads(P_PadHook hook);

// Closes every pad without calling the hook, then the controller layer; video is left alone.
// Safe to call twice.
void P_ShutdownPads();

// The pad in `slot` as the last event pump left it. False, with `state` at rest, for an empty
// slot.
bool P_ReadPad(int32_t slot, P_PadState *state);
