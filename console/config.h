#pragma once

// Runs basev2/<name>[.cfg] line by line through C_Execute. Files nested more than 16 deep
// (a file that runs itself, say), and files past the 64th that one outermost exec runs, are
// refused with a console line.
void C_ExecFile(const char *name);

// Writes the game's own console variables to basev2/<name>[.cfg], then the added variables and
// other settings (C_WriteExtensions) that differ from their defaults, so that C_ExecFile can
// replay them. The old file is kept when the write fails.
void C_WriteConfig(const char *name);
