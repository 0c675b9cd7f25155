#pragma once

#include "console/console.h"

#include <cstdint>
#include <cstdio>

using C_Handler = void (*)();

// The argument proper of the line being executed, as a copy the handler owns.
struct C_ArgText {
    char text[C_LINE_SIZE];
};

// Empties the registry and the history (entries of an earlier console are released). Called by
// C_Init.
void C_InitRegistry();

// Registers a command, or a variable when `getter` is not null. `name` must outlive the program
// and be lower case. A name already registered gets a console line and is not added again.
void C_AddCommand(const char *name, C_Handler action, C_Handler getter);

// Registers a variable added to the game's own: writecfg saves it after them, and only when its
// value differs from `defaultValue`.
void C_AddVariable(const char *name, C_Handler action, C_Handler getter, float defaultValue);

// Writes the lines that restore settings other than variables (key bindings, say) to `file`,
// only those that differ from their defaults. Called by writecfg after the variables.
using C_ConfigWriter = void (*)(FILE *file);
void C_AddConfigWriter(C_ConfigWriter writer);

// Writes the changed variables of C_AddVariable through `writeVariable`, then the lines of every
// configuration writer.
void C_WriteExtensions(FILE *file,
                       void (*writeVariable)(const char *name, float value, FILE *file));

// Echoes, remembers, lowers and runs one command line. Lines longer than 84 characters are cut.
void C_Execute(const char *line);

// The argument text without its separating character; empty without an argument.
C_ArgText C_Arg();

// The argument read as a decimal number (0 when it holds none).
float C_ArgFloat();

// C_ArgFloat truncated toward zero, kept inside the 32-bit range.
int32_t C_ArgInt();

// Getters report the value of their variable through exactly one of these.
void C_ReportFloat(float value);
void C_ReportInt(int32_t value);

// Prints "name" is "value" with six decimals.
void C_PrintValue(const char *name, float value);

// Lowers `prefix` in place, lists the names it starts when there are several, and returns the
// oldest matching name and a space, or `prefix` itself when nothing matches. The result lives
// until the next call.
const char *C_Complete(char *prefix);

// Calls `visit` with each of the game's own variables (not those of C_AddVariable), newest
// first.
void C_ForEachVariable(void (*visit)(const char *name, float value, void *context), void *context);

// Keeps a copy of an executed line; C_Execute is its only caller.
void C_HistoryAdd(const char *line);

// The n-th newest history line (1 = newest); empty for n outside the history.
const char *C_HistoryGet(int32_t n);
