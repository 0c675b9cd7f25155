#pragma once

#include "tools/datagen/raster.h"

#include <cstdint>
#include <vector>

constexpr int32_t FIGURE_WIDTH = 64;
constexpr int32_t FIGURE_HEIGHT = 96;
constexpr int32_t WALK_FRAMES = 10;
constexpr int32_t CROUCH_FRAMES = 4;
constexpr int32_t EXPLOSION_FRAMES = 18;
constexpr int32_t EXPLOSION_SIDE = 64;

// The armoured soldier facing right, 64 x 96, feet on the bottom edge. Walk frame 0 is the
// standing pose; the cycle swings legs and arms through one full stride.
Image PaintWalkFrame(int32_t frame);
// Crouching down, frame 0 upright, the last frame lowest.
Image PaintCrouchFrame(int32_t frame);
// The rocket explosion, 64 x 64 on black: a white-hot ball growing, reddening, then fading to
// dark smoke.
Image PaintExplosionFrame(int32_t frame);

// Pixel bytes for an animation frame: empty pixels pure black, painted ones kept brighter than
// the game's near-black cut (all channels 10 or less).
std::vector<uint8_t> FrameBytes(const Image &image);
