#pragma once

#include "gameplay/player.h"

#include <cstdint>

constexpr int32_t START_HEALTH = 125;  // at every spawn, in a match too

// Loads a player's animations, jump sound and crosshairs from `directory`, then sets its spawn
// values: rocket launcher, the second spawn point, aiming left, 125 health.
void LoadPlayer(Player &player, const char *directory);

// Puts a player back to its spawn values, standing still and facing left: what loading sets, for
// a player already loaded.
void SpawnPlayer(Player &player);

// Loads the picture held in the hand for weapon 2, 3 or 4.
void LoadWeaponSprite(int32_t weapon, const char *path);

// Draws the figure, the weapon turned to the aim and the crosshair.
void DrawPlayer(const Player &player);

// The weapon turned to the aim and the crosshair: the player without its figure.
void DrawPlayerGear(const Player &player);

// The picture held in the hand for weapon `weapon`; an empty record for numbers without one.
const T_Texture &WeaponSprite(int32_t weapon);
