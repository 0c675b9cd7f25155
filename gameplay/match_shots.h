#pragma once

#include <cstdint>

// Projectiles by the match rules, in the table Fire fills. Rockets hurt once: 100 to the player
// they hit and splash to everyone else within reach, shooter included; they explode where they
// meet a brick or the view's edge. Plasma balls (20) pass their own shooter and vanish at a
// brick. A rail beam hits the first player on it before the first brick (100), never its own
// shooter, and ends at that brick. Dead players are neither hit nor in the way.

constexpr int32_t SPLASH_DAMAGE = 50;  // at the heart of an explosion
constexpr float SPLASH_REACH = 0.6f;   // where the splash has fallen to nothing

// Moves, hit-tests and ends every projectile; health and frags change through HurtPlayer.
void AdvanceShotsInMatch(uint32_t milliseconds);

// Draws every projectile where it stands: flying, exploding or as a beam.
void DrawShotsInMatch();

// Frees every slot.
void ClearShotsInMatch();

// Which slots hold a shot that has already hurt, by slot, for demos.
void SaveShotsStruck(bool struckSlots[]);
void RestoreShotsStruck(const bool struckSlots[]);

// Splash damage at `distance` from an explosion, falling off evenly to 0 at SPLASH_REACH.
int32_t SplashDamage(float distance);
