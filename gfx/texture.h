#pragma once

#include "gfx/bmp.h"

#include <cstdint>
#include <vector>

// One picture as an OpenGL texture. Records are zero until loaded and are never unloaded.
struct T_Texture {
    DibImage *image;  // the opaque path's decoded picture, kept after the upload
    uint32_t glName;  // 0 until a load succeeds

    // Loads `path` into a new mipmapped texture: opaque RGB through LoadDibImage, or with
    // `colourKey` an uncompressed 24-bit BMP as RGBA with pure black transparent. A missing
    // file prints one console line; a picture that cannot be read uploads nothing; a failed
    // upload leaves glName 0 and prints the missing file's line. Needs the GL context.
    void Load(const char *path, bool colourKey);

    // Binds glName to GL_TEXTURE_2D; enabling texturing is the caller's business.
    void Bind() const;

    // The editor's load: always opaque, four components, and silent on every failure.
    void LoadEditor(const char *path);
};

// Pixels for a mipmapped texture: `components` for OpenGL, `format` GL_RGB or GL_RGBA bytes in
// rows padded to `alignment`, the bottom row first.
struct T_Pixels {
    int32_t components;
    int32_t width;
    int32_t height;
    uint32_t format;
    int32_t alignment;
    const uint8_t *data;
};

// Names a new texture in `*name` and builds its mipmaps, with linear filters. While builds are
// deferred the name is made at once and the mipmaps only at T_BuildDeferredTextures, from a copy
// of the pixels. False, leaving `*name` 0, when a build made now fails. Needs the GL context.
bool T_BuildTexture(uint32_t *name, const T_Pixels &pixels, const char *path);

// While on, texture builds wait for T_BuildDeferredTextures: the start-up's first picture need
// not wait for the textures it does not show. Off at the start.
void T_DeferTextureBuilds(bool on);

// Builds every deferred texture into the name it was given and switches deferring off. A build
// that fails leaves its name 0 and prints the missing picture's line for its path.
void T_BuildDeferredTextures();

// Reads an uncompressed 24-bit BMP as RGBA, 4 bytes a pixel, bottom row first, alpha 0 exactly
// where the pixel is black. A file that is cut short, of another kind or of absurd size prints
// "T_Texture : bad picture" with the path and gives an empty buffer.
std::vector<uint8_t> T_ReadColourKeyed(const char *path, int32_t *width, int32_t *height);
