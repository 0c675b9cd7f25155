#pragma once

// Shared by the console targets, whose console lives across runs as the game's does.

// Call at the start of every run. Starts the console on the first call, making sure the working
// directory has a basev2/ folder, where configuration files and the log go; empties the history.
void BeginFuzzRun();

// Aborts when the console text or its row view has lost its terminator or outgrown its buffer.
void CheckFuzzConsole();
