#pragma once

#include "gfx/texture.h"
#include "world/map.h"
#include "world/world.h"

#include <cstdint>

// The world's static layers, background and bricks, drawn once into a texture the size of the
// viewport and then copied to the screen pixel for pixel, frame after frame, until anything
// they are drawn from changes: the map's cells, the textures, the viewport, the projection or
// the blend state they meet. The picture is the one W_DrawBackground and W_DrawBricks draw.

// What the static layers are drawn from; equal keys give equal pictures.
struct W_LayerKey {
    int16_t cells[M_CELLS];
    uint32_t textures[W_BRICK_KINDS + 1];  // slot 0 the background, then the bricks of codes 1..8
    int32_t viewport[4];
    float projection[16];
    bool blending;
    int32_t blendSource;
    int32_t blendDestination;
    bool mapLoaded;
};

bool operator==(const W_LayerKey &a, const W_LayerKey &b);

// Draws the background and the bricks as W_DrawBackground and W_DrawBricks do, from the kept
// copy when it still holds. `brickTextures` is indexed by cell code, 1..8. Leaves the texture
// binding, colour and texturing as those two would.
void W_DrawStaticLayers(const T_Texture &background, const T_Texture *brickTextures);

// On (the start), W_DrawStaticLayers keeps its copy; off, it draws the layers every frame, as
// the plain drawing does, and frees nothing (the copy is rebuilt when switched on again).
void W_KeepStaticLayers(bool on);

// The next W_DrawStaticLayers draws the layers afresh: for a change the key cannot see.
void W_InvalidateStaticLayers();

// A copy of the viewport's pixels in a texture, shown again pixel for pixel.
struct W_ViewCopy {
    uint32_t texture;  // 0 until the first copy
    int32_t side;
    int32_t width;
    int32_t height;
};

// Copies the current viewport of the buffer being read into `copy`'s texture, making it when
// needed; false when no texture of OpenGL's takes a viewport of that size.
bool W_KeepView(W_ViewCopy *copy);

// Draws the copy over the whole view, replacing what is there; leaves texturing off and blending
// as it found it, and binds no texture of the caller's.
void W_ShowView(const W_ViewCopy &copy);

// The side of the square texture that holds a viewport of width x height: the smallest power
// of two at least as large as both (OpenGL 1.1 textures), 0 when none fits `maxSide`.
int32_t W_CacheSide(int32_t width, int32_t height, int32_t maxSide);

// The quad that shows the kept copy: the whole view, its texture coordinates picking texel i
// for pixel i of a width x height viewport held in a side x side texture.
W_Quad W_CopyQuad(int32_t width, int32_t height, int32_t side);
