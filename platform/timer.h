#pragma once

#include <cstdint>

// Milliseconds since the platform layer started; wraps after 49 days like the system timer.
uint32_t P_Ticks();

// Gives the processor away for about `milliseconds`.
void P_Sleep(uint32_t milliseconds);
