#pragma once

#include "tools/datagen/raster.h"

// The desktop icons, `size` pixels square, transparent around a rounded plate.
// The game's: a red crosshair over the arena's wall and a row of bricks.
Image PaintGameIcon(int32_t size);
// The editor's: bricks being laid on the editor's grid, its yellow cursor on an empty cell.
Image PaintEditorIcon(int32_t size);
