#pragma once

#include "gfx/texture.h"

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

// The pictures of cell codes 1 to 8, relative to a data tree's textures folder: the game finds
// them under "basev2/textures/", the editor under "../basev2/textures/".
constexpr int32_t W_BRICK_KINDS = 8;
extern const char *const W_BRICK_FILES[W_BRICK_KINDS];

// Draws the background over the whole view, its picture repeated 5 times each way, dimmed to 90%.
// Leaves texturing disabled; blending is left to the caller.
void W_DrawBackground(const T_Texture &background);

// Draws every brick of the grid, each cell with the texture of its code; empty cells, respawn
// points and codes outside 0..8 draw nothing. Leaves texturing disabled.
void W_DrawBricks(const T_Texture *brickTextures);

// True for the codes the game draws as bricks.
bool W_DrawsCode(int16_t code);

// The quad of cell `index`: the whole brick picture, upright, stretched over the cell.
W_Quad W_BrickQuad(int32_t index);
