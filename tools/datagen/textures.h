#pragma once

#include "tools/datagen/raster.h"

#include <cstdint>

constexpr int32_t CROSSHAIR_COUNT = 10;

// Brick material `kind` (1..7), 64 x 32, colour-keyed: 1 clay brick, 2 grey stone, 3 mossy stone,
// 4 riveted metal plate, 5 wood planks, 6 blue crystal, 7 rusty grate with see-through holes.
Image PaintBrick(int32_t kind);
// The editor's respawn marker, 64 x 32, colour-keyed: a glowing pad with an arrow up.
Image PaintRespawn();
// The game's background, 128 x 128, opaque, tiles seamlessly: dark metal wall panels.
Image PaintBackground();
// The console's backdrop, 256 x 256, opaque, tiles seamlessly: dark blue and purple smoke.
Image PaintConsole();
// Crosshair `design` (0..9), 32 x 32, light on black for additive drawing.
Image PaintCrosshair(int32_t design);
