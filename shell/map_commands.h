#pragma once

// The game's map commands: `map NAME` plays basev2/maps/NAME.vsm in place of the current map,
// `maps` lists the maps there, and `g_map` names the map the game starts with (v2dm1 unless
// autoexec.cfg sets another; writecfg saves it only when it differs).

// Registers map, maps and g_map (back to v2dm1), and the line writecfg writes for g_map. The
// map in play is taken to be v2dm1, which the start-up loads.
void RegisterMapCommands();

// The map named on the game's command line (the editor's F9 passes its map), for this run only;
// it takes the place of g_map. nullptr for none. The text is copied.
void SetCommandLineMap(const char *name);

// The last step of the start-up, after autoexec.cfg: plays the command line's map, or else g_map,
// unless that is the map the start-up has already loaded.
void LoadStartMap();

// Plays map `name` (with or without ".vsm"): replaces the grid and its spawn points, and both
// players respawn. False keeps the current map, after one console line saying why.
bool ChangeMap(const char *name);

// The name of the map in play, without ".vsm".
const char *MapInPlay();
