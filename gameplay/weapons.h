#pragma once

#include "gameplay/player.h"

#include <cstdint>

constexpr int32_t WEAPON_ROCKET = 2;
constexpr int32_t WEAPON_RAIL = 3;
constexpr int32_t WEAPON_PLASMA = 4;
constexpr int32_t PROJECTILE_SLOTS = 100;

struct Projectile {
    int32_t type;  // 0 free, else the weapon that fired it
    Pose origin;   // the shooter at the moment of the shot
    float distance;
    float life;      // rail beam: 100 at the shot, gone at 0
    double opacity;  // rail beam
};

struct WorldPosition {
    float x;
    float y;
};

// Loads both players and every weapon resource, fills the weapon tables and registers the
// gravity and framedelay variables. Needs the map's spawn points.
void InitGameplay();

// Reload time of weapon `weapon` in milliseconds; 0 for numbers outside the table.
uint32_t ReloadTime(int32_t weapon);

// The clock that shots and weapon changes measure reload times on, in milliseconds. It is
// P_Ticks; tests set one they control, and nullptr puts P_Ticks back.
void SetReloadClock(uint32_t (*clock)());
uint32_t ReloadClockNow();

// Fires the player's current weapon unless it is still reloading. With every slot busy the
// shot is dropped.
void Fire(Player &player);

// Moves, hit-tests and draws every projectile.
void UpdateProjectiles(uint32_t milliseconds);

// The same without drawing, for the rules alone.
void AdvanceProjectiles(uint32_t milliseconds);

const Projectile &GetProjectile(int32_t slot);
WorldPosition ProjectilePosition(const Projectile &projectile);

// Whether the projectile hit a player (lowering health) or left the arena box.
bool HitTest(const Projectile &projectile);

// Frees every slot and zeroes the weapon tables.
void ResetWeapons();
