#pragma once

#include "gameplay/weapons.h"

#include <cstdint>

inline uint32_t clockNow = 0;  // what the reload clock reads in the gameplay tests

inline uint32_t TestClock() { return clockNow; }

// Gives `player` `weapon` as if it had long reloaded, so the next shot leaves.
inline void ArmReloaded(Player &player, int32_t weapon)
{
    player.currentWeapon = weapon;
    player.lastShotTimes[weapon] = clockNow - 10000;
}

inline int32_t BusyProjectileSlots()
{
    int32_t busy = 0;
    for (int32_t i = 0; i < PROJECTILE_SLOTS; ++i) {
        busy += GetProjectile(i).type != 0;
    }
    return busy;
}
