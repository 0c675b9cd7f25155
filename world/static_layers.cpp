#include "world/static_layers.h"

#include "platform/gl.h"

#include <cstring>

namespace {
enum class Copy : uint8_t { NONE, KEPT, REFUSED };  // refused: no texture takes this viewport

bool keepLayers = true;
Copy copy = Copy::NONE;
W_ViewCopy layers = {0, 0, 0, 0};
W_LayerKey copyKey;      // what the copy was drawn from
W_LayerKey frameKey;     // this frame's; both are too large for the stack of every frame
uint32_t copyBound = 0;  // the texture the drawing left bound, as it was for the copy's key

void ReadKey(const T_Texture &background, const T_Texture *brickTextures, W_LayerKey *key)
{
    const int16_t *const cells = M_GetCells();
    key->mapLoaded = cells != nullptr;
    if (cells != nullptr) {
        memcpy(key->cells, cells, sizeof key->cells);
    } else {
        memset(key->cells, 0, sizeof key->cells);
    }
    key->textures[0] = background.glName;
    for (int32_t code = 1; code <= W_BRICK_KINDS; ++code) {
        key->textures[code] = brickTextures[code].glName;
    }
    GLint values[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, values);
    memcpy(key->viewport, values, sizeof key->viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, key->projection);
    key->blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, values);
    key->blendSource = values[0];
    glGetIntegerv(GL_BLEND_DST, values);
    key->blendDestination = values[0];
}

// The texture W_DrawBricks leaves bound: that of the last brick kind it drew, else the
// background's.
uint32_t LastBoundTexture(const W_LayerKey &key)
{
    uint32_t bound = key.textures[0];
    if (!key.mapLoaded) {
        return bound;
    }
    for (int16_t code = M_EMPTY + 1; code <= W_BRICK_KINDS; ++code) {
        if (!W_DrawsCode(code)) {
            continue;
        }
        for (const int16_t cell : key.cells) {
            if (cell == code) {
                bound = key.textures[code];
                break;
            }
        }
    }
    return bound;
}

// Draws the layers in full and, when the viewport fits a texture, keeps the result.
void DrawAndKeep(const T_Texture &background, const T_Texture *brickTextures)
{
    // The copy must hold the whole view, not the part a scissor lets through.
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    if (scissored) {
        glDisable(GL_SCISSOR_TEST);
    }
    W_DrawBackground(background);
    W_DrawBricks(brickTextures);
    copy = W_KeepView(&layers) ? Copy::KEPT : Copy::REFUSED;
    copyBound = LastBoundTexture(frameKey);
    glBindTexture(GL_TEXTURE_2D, copyBound);
    memcpy(&copyKey, &frameKey, sizeof copyKey);
    if (scissored) {
        glEnable(GL_SCISSOR_TEST);
    }
}

void DrawCopy()
{
    W_ShowView(layers);
    // As the plain drawing leaves it: white after the bricks, the background's grey without a map.
    if (!frameKey.mapLoaded) {
        glColor3f(0.9f, 0.9f, 0.9f);
    }
    glBindTexture(GL_TEXTURE_2D, copyBound);
}
}  // namespace

bool operator==(const W_LayerKey &a, const W_LayerKey &b)
{
    return memcmp(a.cells, b.cells, sizeof a.cells) == 0 &&
           memcmp(a.textures, b.textures, sizeof a.textures) == 0 &&
           memcmp(a.viewport, b.viewport, sizeof a.viewport) == 0 &&
           memcmp(a.projection, b.projection, sizeof a.projection) == 0 &&
           a.blending == b.blending && a.blendSource == b.blendSource &&
           a.blendDestination == b.blendDestination && a.mapLoaded == b.mapLoaded;
}

void W_DrawStaticLayers(const T_Texture &background, const T_Texture *brickTextures)
{
    if (!keepLayers) {
        W_DrawBackground(background);
        W_DrawBricks(brickTextures);
        return;
    }
    ReadKey(background, brickTextures, &frameKey);
    if (copy != Copy::NONE && frameKey == copyKey) {
        if (copy == Copy::KEPT) {
            DrawCopy();
        } else {
            W_DrawBackground(background);
            W_DrawBricks(brickTextures);
        }
        return;
    }
    DrawAndKeep(background, brickTextures);
}

void W_KeepStaticLayers(bool on)
{
    keepLayers = on;
    copy = Copy::NONE;
}

void W_InvalidateStaticLayers() { copy = Copy::NONE; }

bool W_KeepView(W_ViewCopy *view)
{
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    const int32_t side = W_CacheSide(viewport[2], viewport[3], maxSide);
    if (side == 0) {
        return false;
    }
    if (view->texture == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        view->texture = name;
        view->side = 0;
    }
    glBindTexture(GL_TEXTURE_2D, view->texture);
    if (side != view->side) {
        // One texel a pixel, never filtered, so the copy shows exactly the pixels it took.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        view->side = glGetError() == GL_NO_ERROR ? side : 0;
        if (view->side == 0) {
            return false;
        }
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0], viewport[1], viewport[2], viewport[3]);
    view->width = viewport[2];
    view->height = viewport[3];
    return glGetError() == GL_NO_ERROR;
}

void W_ShowView(const W_ViewCopy &view)
{
    const W_Quad quad = W_CopyQuad(view.width, view.height, view.side);
    const bool blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, view.texture);
    if (blending) {
        glDisable(GL_BLEND);  // the copy replaces, as the opaque picture it holds did
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (const W_Vertex &corner : quad.corners) {
        glTexCoord2d(corner.u, corner.v);
        glVertex2d(corner.x, corner.y);
    }
    glEnd();
    if (blending) {
        glEnable(GL_BLEND);
    }
    glDisable(GL_TEXTURE_2D);
}

int32_t W_CacheSide(int32_t width, int32_t height, int32_t maxSide)
{
    if (width <= 0 || height <= 0) {
        return 0;
    }
    int32_t side = 1;
    while (side < width || side < height) {
        if (side > maxSide / 2) {
            return 0;
        }
        side *= 2;
    }
    return side <= maxSide ? side : 0;
}

W_Quad W_CopyQuad(int32_t width, int32_t height, int32_t side)
{
    // Pixel i's centre, i + 0.5, falls on texel i's centre: the quad spans exactly `width`
    // texels of the side.
    const double u = side > 0 ? double(width) / side : 0.0;
    const double v = side > 0 ? double(height) / side : 0.0;
    return W_Quad{{
        {-4.0, -3.0, 0.0, 0.0},
        {-4.0, 3.0, 0.0, v},
        {4.0, 3.0, u, v},
        {4.0, -3.0, u, 0.0},
    }};
}
