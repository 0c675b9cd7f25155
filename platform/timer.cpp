#include "platform/timer.h"

#include <ctime>

#include <SDL.h>

uint32_t P_Ticks()
{
    // Counted from boot, not from start-up: the game's first frame delta is the whole reading and
    // must be large, or it slides the closed console out of reach and blocks the first shots.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint32_t(uint64_t(now.tv_sec) * 1000u + uint64_t(now.tv_nsec) / 1000000u);
}

void P_Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }
