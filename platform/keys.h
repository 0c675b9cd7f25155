#pragma once

#include <cstdint>

constexpr uint8_t P_KEY_NONE = 0;

// The game's key code (the Windows virtual-key number, 1..254) of a physical key, given as an
// SDL scancode; P_KEY_NONE for keys the game has no number for.
uint8_t P_KeyFromScancode(int scancode);

// Appends the Latin-1 characters of UTF-8 `text` to `out` (room for `capacity`), dropping
// characters beyond Latin-1; returns how many were written.
int P_Latin1FromUtf8(const char *text, uint8_t *out, int capacity);
