#include "world/world.h"

#include "platform/gl.h"
#include "world/map.h"

namespace {
constexpr double REPEATS = 5.0;  // the background relies on the texture's default repeat wrap

// clang-format off
constexpr W_Quad BACKGROUND_QUAD = {{
    {-4.0, -3.0, 0.0,     0.0},
    {-4.0,  3.0, 0.0,     REPEATS},
    { 4.0,  3.0, REPEATS, REPEATS},
    { 4.0, -3.0, REPEATS, 0.0},
}};
// clang-format on

void DrawQuad(const W_Quad &quad)
{
    glBegin(GL_QUADS);
    for (const W_Vertex &corner : quad.corners) {
        glTexCoord2d(corner.u, corner.v);
        glVertex2d(corner.x, corner.y);
    }
    glEnd();
}
}  // namespace

bool W_DrawsCode(int16_t code)
{
    // Respawn points are invisible in the game; other codes come only from a damaged file.
    return M_IsBrick(code);
}

W_Quad W_BrickQuad(int32_t index)
{
    const CellPosition cell = M_CellPosition(index);
    const double right = cell.left + M_CELL_WIDTH;
    const double bottom = cell.top - M_CELL_HEIGHT;
    return W_Quad{{
        {cell.left, bottom, 0.0, 0.0},
        {cell.left, cell.top, 0.0, 1.0},
        {right, cell.top, 1.0, 1.0},
        {right, bottom, 1.0, 0.0},
    }};
}

void W_DrawBackground(const T_Texture &background)
{
    glEnable(GL_TEXTURE_2D);
    glColor3f(0.9f, 0.9f, 0.9f);
    background.Bind();
    DrawQuad(BACKGROUND_QUAD);
    glDisable(GL_TEXTURE_2D);
}

void W_DrawBricks(const T_Texture *brickTextures)
{
    const int16_t *const cells = M_GetCells();
    if (cells == nullptr) {
        return;
    }
    // One bind and one batch per brick kind: bricks never overlap, so the picture is the same
    // as drawing them cell by cell, at half the cost on a software renderer.
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (int16_t code = M_EMPTY + 1; code <= W_BRICK_KINDS; ++code) {
        if (!W_DrawsCode(code)) {
            continue;
        }
        bool bound = false;
        for (int32_t index = 0; index < M_CELLS; ++index) {
            if (cells[index] != code) {
                continue;
            }
            if (!bound) {
                brickTextures[code].Bind();
                glBegin(GL_QUADS);
                bound = true;
            }
            for (const W_Vertex &corner : W_BrickQuad(index).corners) {
                glTexCoord2d(corner.u, corner.v);
                glVertex2d(corner.x, corner.y);
            }
        }
        if (bound) {
            glEnd();
        }
    }
    glDisable(GL_TEXTURE_2D);
}
