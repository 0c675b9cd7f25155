#pragma once

// Starts a fresh console: its text, the registry with the nine built-in commands and the input
// line, and prints the start-up lines. Calling it again starts a fresh console.
void C_Init();

// Handler of say and con_print.
void C_Say();
