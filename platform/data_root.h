#pragma once

// Chooses the working directory so that the programs find "basev2/..." where they have always been.
//
// Run from a build tree, where `probe` (the data tree as seen from the working directory:
// "basev2" for the game, "../basev2" for the editor, which works inside the tree) exists,
// nothing changes. Installed, the data tree sits read-only at <program dir>/../share/vorn2/basev2;
// then the working directory moves to $XDG_DATA_HOME/vorn2 (~/.local/share/vorn2 by default),
// into its basev2/ when `insideTree`. That basev2/ mirrors the installed one with links, so every
// file is read through them, while what the programs write (log, configs, maps) lands there and
// shadows the installed file of the same name. Returns false, changing nothing, when neither
// is found; the programs then report the missing files as always.
bool P_EnterDataRoot(const char *probe, bool insideTree);
