#pragma once

// Runs basev2/<name>[.cfg] line by line through C_Execute. Files nested more than 16 deep
// (a file that runs itself, say), and files past the 64th that one outermost exec runs, are
// refused with a console line.
void C_ExecFile(const char *name);

// Writes every console variable to basev2/<name>[.cfg] so that C_ExecFile can replay it.
void C_WriteConfig(const char *name);
