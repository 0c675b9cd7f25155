#pragma once

#include "input/bindings.h"

// What the bindings and the mouse reach outside the players.
struct ShellActions {
    KeyCallback shutdown;
    KeyCallback pauseMusic;
    KeyCallback playMusic;  // from where it stands
};

// Clears the table and makes the twenty default bindings, in their fixed order.
void BindDefaultKeys(const ShellActions &actions);

// Steps the weapon counter both players share (1, 2, 3, 1, ...) and returns the weapon it picks.
int32_t NextCycledWeapon();
