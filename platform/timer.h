#pragma once

#include <cstdint>

// Milliseconds since the machine booted (its monotonic clock), kept in 32 bits like the system
// timer: it wraps after 49.7 days, so take differences of readings, never compare them.
uint32_t P_Ticks();

// Gives the processor away for about `milliseconds`.
void P_Sleep(uint32_t milliseconds);
