#pragma once

#include <cstdint>

constexpr uint8_t P_KEY_NONE = 0;

// The key codes the programs name; letters and top-row digits are their upper-case characters.
// clang-format off
constexpr uint8_t P_KEY_BACKSPACE = 8,  P_KEY_TAB = 9,       P_KEY_ENTER = 13,   P_KEY_SHIFT = 16,
                  P_KEY_CONTROL = 17,   P_KEY_ALT = 18,      P_KEY_ESCAPE = 27,  P_KEY_SPACE = 32,
                  P_KEY_PAGE_UP = 33,   P_KEY_PAGE_DOWN = 34, P_KEY_END = 35,    P_KEY_HOME = 36,
                  P_KEY_LEFT = 37,      P_KEY_UP = 38,       P_KEY_RIGHT = 39,   P_KEY_DOWN = 40,
                  P_KEY_INSERT = 45,    P_KEY_DELETE = 46,   P_KEY_NUMPAD_0 = 96, P_KEY_F1 = 112,
                  P_KEY_F5 = 116,       P_KEY_F6 = 117,      P_KEY_F7 = 118,     P_KEY_F8 = 119,
                  P_KEY_F9 = 120,       P_KEY_F12 = 123,     P_KEY_GRAVE = 192;
// clang-format on

// The mouse buttons' own numbers, which no key gives: bound buttons share the key table.
constexpr uint8_t P_KEY_MOUSE1 = 1, P_KEY_MOUSE2 = 2, P_KEY_MOUSE3 = 4;

// The game's key code (the Windows virtual-key number, 1..254) of a physical key, given as an
// SDL scancode; P_KEY_NONE for keys the game has no number for.
uint8_t P_KeyFromScancode(int scancode);

// Appends the Latin-1 characters of UTF-8 `text` to `out` (room for `capacity`), dropping
// characters beyond Latin-1 and malformed forms; returns how many were written.
int P_Latin1FromUtf8(const char *text, uint8_t *out, int capacity);
