#pragma once

#include <cstdint>

// Ways through the frames that draw less and leave the picture exactly as it was: the first
// picture waits only for the textures it shows (gfx/texture.h), the static layers come from a
// kept copy (world/static_layers.h), the world is not drawn where the open console's opaque
// backdrop will cover it, text leaves out the characters that draw nothing (gfx/font.h), and a
// frame that would change nothing on the screen is not drawn at all (shell/still_frames.h). On
// from the start; measuring tools switch them off to see every frame drawn in full.
void SetFrameShortcuts(bool on);
bool FrameShortcuts();

// Limits the world's drawing to what the console leaves in view this frame, given the frame's
// `elapsed` milliseconds. Returns whether it did; EndWorldUnderConsole then lifts the limit.
bool BeginWorldUnderConsole(uint32_t elapsed);
void EndWorldUnderConsole(bool limited);

// How many rows of a viewport `viewportHeight` pixels high, counted from its bottom, a backdrop
// covering world y `coversFrom` to the top may leave uncovered: every row whose centre lies on
// or below the backdrop's lower edge, and one more for the rasteriser's rounding.
int32_t RowsLeftByConsole(int32_t viewportHeight, double coversFrom);
