#pragma once

#include "gameplay/player.h"

#include <cstdint>

constexpr int32_t WEAPON_ROCKET = 2;
constexpr int32_t WEAPON_RAIL = 3;
constexpr int32_t WEAPON_PLASMA = 4;
constexpr int32_t PROJECTILE_SLOTS = 100;
constexpr float ROCKET_SPEED = 0.0075f;  // world units per millisecond
constexpr float PLASMA_SPEED = 0.01f;
constexpr float RAIL_LENGTH = 10.0f;

struct Projectile {
    int32_t type;  // 0 free, else the weapon that fired it
    Pose origin;   // the shooter at the moment of the shot
    float distance;
    float life;         // rail beam: 100 at the shot, gone at 0
    double opacity;     // rail beam
    int32_t owner = 0;  // the player who fired it, 1 or 2; only the match rules read it
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

// What the weapons keep from frame to frame, for demos: the projectile table, the health seen
// before an explosion and the shared explosion's clock. The tables of reload times and damages
// are data and not part of it.
struct WeaponsState {
    Projectile projectiles[PROJECTILE_SLOTS];
    int32_t healthBeforeExplosion[2];
    uint32_t explosionFrame;
    float explosionTime;
    uint8_t explosionFacing;
};
void SaveWeapons(WeaponsState *state);
// The explosion's frame is held inside its frame count, as a frame set's own clock keeps it.
void RestoreWeapons(const WeaponsState &state);

// What rules of play other than these (the match) build on.

// Slot `slot` (0..99) of the projectile table, to move and free.
Projectile &ProjectileSlot(int32_t slot);

// Damage of weapon `weapon`; 0 for numbers outside the table.
int32_t Damage(int32_t weapon);

// Draws a flying rocket or plasma ball where it stands, or a rail beam, as UpdateProjectiles does.
void DrawShot(const Projectile &projectile);

// Draws the shared explosion animation's current frame centred on `at`.
void DrawExplosionAt(WorldPosition at);

// Runs the shared explosion animation on by half of `milliseconds`; true when it has reached its
// last frame (never shown) and is back at its start, which ends the explosion.
bool AdvanceExplosion(uint32_t milliseconds);

// Ages a rail beam by `milliseconds`: its life runs down and, in its second half, it fades.
void FadeRailBeam(Projectile &beam, uint32_t milliseconds);

// "hit.wav" from its start (a player was hit), and "rocket_hit.wav" from its start.
void PlayHitSound();
void PlayRocketHitSound();
