#pragma once

#include "input/bindings.h"

// What the bindings and the mouse reach outside the players.
struct ShellActions {
    KeyCallback shutdown;
    KeyCallback pauseMusic;
    KeyCallback playMusic;  // from where it stands
};

// Clears the table and makes the twenty default bindings, in their fixed order. The shell's
// actions are kept for the named actions quit, music_pause and music_play.
void BindDefaultKeys(const ShellActions &actions);

// Steps the weapon counter both players share (1, 2, 3, 1, ...) and returns the weapon it picks.
int32_t NextCycledWeapon();

// Binds `keyCode` to the action called `name` ("p1_fire", "quit"), in the once or repeat mode
// that belongs to the action whatever the key. False, with nothing changed, for a name no action
// has; codes outside the table get BindKey's console line.
bool BindAction(int32_t keyCode, const char *name);

// The name of the action whose callback is `callback`; nullptr for null or a callback that is
// no named action.
const char *ActionName(KeyCallback callback);

// The name of the action `keyCode` is bound to at start; nullptr for keys unbound then.
const char *DefaultActionName(int32_t keyCode);
