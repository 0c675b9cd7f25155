#include "platform/timer.h"

#include <SDL.h>

uint32_t P_Ticks() { return SDL_GetTicks(); }

void P_Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }
