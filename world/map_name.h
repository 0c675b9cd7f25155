#pragma once

#include <cstddef>
#include <cstdint>

// Map names, as the editor's command line and the game's map commands take them: a plain file
// name in the maps folder, given with or without its ".vsm".

// Longest name, without ".vsm": long enough for any real name, short enough that the editor's
// lines naming the file fit the screen.
constexpr size_t M_NAME_MAX = 24;
constexpr char M_MAP_SUFFIX[] = ".vsm";

// A checked name, without ".vsm".
struct M_MapName {
    char text[M_NAME_MAX + 1];
};

// Takes `given` without a trailing ".vsm" into `name`. False, leaving `name` empty, when what is
// left is empty, longer than M_NAME_MAX, or holds anything but letters, digits, '_' and '-': so
// never a path, "..", or a name the shell or a file system could read differently.
bool M_CheckMapName(const char *given, M_MapName *name);

// Fills `out` (`size` bytes) with `folder`, the name and ".vsm"; `folder` ends with its '/'.
void M_MapPath(const char *folder, const M_MapName &name, char *out, size_t size);
