#pragma once

#include <cstdint>

// Message numbers C_KeyEvent understands.
constexpr uint32_t C_KEY_DOWN = 256;
constexpr uint32_t C_CHARACTER = 258;

// Parks the console above the screen and loads its backdrop picture.
void C_LoadBackground();

// Slides, animates and draws the console for `elapsed` milliseconds in video mode `mode`.
void C_Draw(uint32_t elapsed, int32_t mode);

// C_Draw without the drawing: slides and animates the console exactly as it would.
void C_Advance(uint32_t elapsed);

// World y of the console's lower edge: 3 when hidden, 0 when fully open.
double C_Position();

// The world y from which C_Draw, given `elapsed`, will cover the view opaquely up to the top,
// or 3 when that cannot be told before it runs: only an open console is sure not to end this
// frame higher than it stands now.
double C_CoversFrom(uint32_t elapsed);

// Empties the input line and closes the console. Called by C_Init.
void C_InitInputLine();

bool C_IsOpen();

// Opens or closes the console, switching key bindings off while it is open, and marks `keyCode`
// released in the key table.
void C_SetOpen(uint32_t keyCode, bool open);

// A key-down (C_KEY_DOWN, virtual-key code) or character (C_CHARACTER, Latin-1 code) message.
void C_KeyEvent(uint32_t message, uint32_t code);

// The text being typed.
const char *C_InputLine();
