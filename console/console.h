#pragma once

#include <cstddef>
#include <cstdint>

// Console lines, the input line and argument texts: 84 characters and the terminator.
constexpr int32_t C_LINE_SIZE = 85;
// Capacity of the console text, terminator included.
constexpr size_t C_TEXT_CAPACITY = 153600;

extern const char C_VERSION[];

// Creates an empty console text (a fresh one when called again); C_Init calls it.
void C_InitText();

// Appends the strings, up to the null pointer, to the console text. Before C_Init and after
// C_Shutdown the text goes to stderr. When the text is full its oldest lines make room.
void C_Print(const char *first, ...) __attribute__((sentinel));

// Handler of con_clear: the text becomes a single line feed; the row view waits for the next print.
void C_Clear();

// Handler of con_savelog: writes the whole text to basev2/console.log.
void C_SaveLog();

// Handler of help.
void C_ShowBanner();

// Writes the log once more and releases the console text.
void C_Shutdown();

// Message boxes for fatal errors (flag 1) and warnings (flag 4): two lists of texts, each ended
// by a null pointer; each text is also printed after its box.
void C_ReportError(uint32_t flags, ...);

// The whole console text, NUL-terminated; empty before C_Init.
const char *C_Text();

// Number of line feeds in the text when the rows were last brought up to date.
int32_t C_CurrentRow();

// Copies row `row` of the row view into `out` (C_LINE_SIZE bytes, NUL-terminated, its line feed
// kept). Rows before the text's first row, and rows too old for the display, are empty.
void C_GetRow(int32_t row, char *out);
