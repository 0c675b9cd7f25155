#include "tools/datagen/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace {
FT_Face Face(void *face) { return static_cast<FT_Face>(face); }
}  // namespace

Typeface::~Typeface()
{
    if (face != nullptr) {
        FT_Done_Face(Face(face));
    }
    if (library != nullptr) {
        FT_Done_FreeType(static_cast<FT_Library>(library));
    }
}

bool Typeface::Open(const char *path, std::string *error)
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    library = lib;
    FT_Face opened = nullptr;
    if (FT_New_Face(lib, path, 0, &opened) != 0) {
        *error = std::string("cannot open the font ") + path;
        return false;
    }
    face = opened;
    return true;
}

void Typeface::SetPixelSize(int32_t width, int32_t height)
{
    FT_Set_Pixel_Sizes(Face(face), FT_UInt(width), FT_UInt(height));
}

bool Typeface::RenderGlyph(uint32_t codePoint, GlyphMask *glyph)
{
    const FT_UInt index = FT_Get_Char_Index(Face(face), codePoint);
    if (index == 0 || FT_Load_Glyph(Face(face), index, FT_LOAD_DEFAULT) != 0 ||
        FT_Render_Glyph(Face(face)->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = Face(face)->glyph;
    const FT_Bitmap &bitmap = slot->bitmap;
    glyph->width = int32_t(bitmap.width);
    glyph->height = int32_t(bitmap.rows);
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->advance = int32_t(slot->advance.x >> 6);
    glyph->coverage.assign(size_t(glyph->width) * size_t(glyph->height), 0);
    for (int32_t y = 0; y < glyph->height; ++y) {
        const uint8_t *row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
        std::copy(row, row + glyph->width, glyph->coverage.begin() + ptrdiff_t(y) * glyph->width);
    }
    return true;
}

GlyphMask Typeface::RenderLine(const std::string &text)
{
    const int32_t ascender = Ascender();
    GlyphMask line;
    line.height = ascender + Descender();
    line.top = ascender;
    std::vector<GlyphMask> glyphs;
    std::vector<int32_t> pens;
    int32_t pen = 0;
    int32_t right = 0;
    for (const char c : text) {
        GlyphMask glyph;
        if (!RenderGlyph(uint8_t(c), &glyph)) {
            continue;
        }
        pens.push_back(pen);
        right = std::max(right, pen + glyph.left + glyph.width);
        pen += glyph.advance;
        glyphs.push_back(glyph);
    }
    line.width = std::max(right, pen);
    line.advance = pen;
    line.coverage.assign(size_t(line.width) * size_t(line.height), 0);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const GlyphMask &glyph = glyphs[i];
        for (int32_t y = 0; y < glyph.height; ++y) {
            const int32_t ly = ascender - glyph.top + y;
            for (int32_t x = 0; x < glyph.width; ++x) {
                const int32_t lx = pens[i] + glyph.left + x;
                if (lx < 0 || ly < 0 || lx >= line.width || ly >= line.height) {
                    continue;
                }
                uint8_t &dst = line.coverage[size_t(ly) * size_t(line.width) + size_t(lx)];
                dst = std::max(dst, glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)]);
            }
        }
    }
    return line;
}

int32_t Typeface::Ascender() const
{
    return int32_t((Face(face)->size->metrics.ascender + 63) >> 6);
}

int32_t Typeface::Descender() const
{
    return int32_t((-Face(face)->size->metrics.descender + 63) >> 6);
}
