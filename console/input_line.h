#pragma once

#include <cstdint>

// Message numbers C_KeyEvent understands.
constexpr uint32_t C_KEY_DOWN = 256;
constexpr uint32_t C_CHARACTER = 258;

// Empties the input line and the history and closes the console. Called by C_Init.
void C_InitInputLine();

bool C_IsOpen();

// Opens or closes the console, switching key bindings off while it is open, and marks `keyCode`
// released in the key table.
void C_SetOpen(uint32_t keyCode, bool open);

// A key-down (C_KEY_DOWN, virtual-key code) or character (C_CHARACTER, Latin-1 code) message.
void C_KeyEvent(uint32_t message, uint32_t code);

// The text being typed.
const char *C_InputLine();

// Keeps a copy of an executed line, newest first.
void C_HistoryAdd(const char *line);

// The n-th newest history line (1 = newest); empty for n outside the history.
const char *C_HistoryGet(int32_t n);
