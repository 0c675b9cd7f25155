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

// Reads an uncompressed 24-bit BMP as RGBA, 4 bytes a pixel, bottom row first, alpha 0 exactly
// where the pixel is black. A file that is cut short, of another kind or of absurd size prints
// "T_Texture : bad picture" with the path and gives an empty buffer.
std::vector<uint8_t> T_ReadColourKeyed(const char *path, int32_t *width, int32_t *height);
