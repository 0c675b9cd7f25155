#pragma once

#include "gfx/texture.h"
#include "world/bricks.h"

#include <cstdint>

// One corner of a quad: world position and texture coordinates.
struct W_Vertex {
    double x;
    double y;
    double u;
    double v;
};

// A quad's corners in drawing order.
struct W_Quad {
    W_Vertex corners[4];
};

// Draws the background over the whole view, its picture repeated 5 times each way, dimmed to 90%.
// Leaves texturing disabled; blending is left to the caller.
void W_DrawBackground(const T_Texture &background);

// Draws every cell whose code W_DrawsCode accepts with the texture of its code (1..8 are
// loaded). Leaves texturing disabled.
void W_DrawBricks(const T_Texture *brickTextures);

// True for the codes the game draws as bricks.
bool W_DrawsCode(int16_t code);

// The quad of cell `index`: the whole brick picture, upright, stretched over the cell.
W_Quad W_BrickQuad(int32_t index);
