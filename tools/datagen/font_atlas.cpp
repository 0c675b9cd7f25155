#include "tools/datagen/font_atlas.h"

#include "tools/datagen/glyphs.h"

#include <algorithm>

namespace {
// Size in pixels per em: capitals about 11 pixels high, descenders inside the cell, and a
// little wider than the face's own shape so the letters fill the fixed advance of the console.
constexpr int32_t EM_WIDTH = 21;
constexpr int32_t EM_HEIGHT = 15;
constexpr int32_t BASELINE = 12;  // rows above the baseline in a cell
constexpr int32_t MARGIN = 1;     // kept blank so linear filtering does not pull in a neighbour

bool Blank(int32_t code) { return code < 32 || (code >= 127 && code < 160) || code == 160; }

void PutCell(std::vector<uint8_t> *atlas, int32_t code, int32_t x, int32_t y, uint8_t value)
{
    if (x < MARGIN || y < MARGIN || x >= FONT_CELL - MARGIN || y >= FONT_CELL - MARGIN) {
        return;
    }
    const int32_t ax = (code % 16) * FONT_CELL + x;
    const int32_t ay = (code / 16) * FONT_CELL + y;
    uint8_t &dst = (*atlas)[size_t(ay) * FONT_ATLAS_SIDE + size_t(ax)];
    dst = std::max(dst, value);
}
}  // namespace

bool BuildFontAtlas(const char *fontPath, std::vector<uint8_t> *atlas, std::string *error)
{
    Typeface face;
    if (!face.Open(fontPath, error)) {
        return false;
    }
    atlas->assign(size_t(FONT_ATLAS_SIDE) * FONT_ATLAS_SIDE, 0);
    for (int32_t code = 0; code < 256; ++code) {
        if (code == FONT_INSERT_CURSOR) {
            for (int32_t y = 2; y < 14; ++y) {
                for (int32_t x = 2; x < 14; ++x) {
                    PutCell(atlas, code, x, y, 255);
                }
            }
            continue;
        }
        if (Blank(code)) {
            continue;
        }
        // Accented capitals are too tall for the cell at full size, and a few signs too wide:
        // shrink them until they fit.
        GlyphMask glyph;
        bool rendered = false;
        for (int32_t shrink = 0; shrink <= 4; ++shrink) {
            face.SetPixelSize(EM_WIDTH - shrink, EM_HEIGHT - shrink);
            rendered = face.RenderGlyph(uint32_t(code), &glyph);
            if (!rendered ||
                (glyph.width <= FONT_CELL - 2 * MARGIN && glyph.top <= BASELINE - MARGIN &&
                 BASELINE - glyph.top + glyph.height <= FONT_CELL - MARGIN)) {
                break;
            }
        }
        if (!rendered) {
            continue;
        }
        // Centre the inked part, not the advance box, so narrow letters like i sit in the middle.
        const int32_t left = (FONT_CELL - glyph.width) / 2;
        const int32_t top = BASELINE - glyph.top;
        for (int32_t y = 0; y < glyph.height; ++y) {
            for (int32_t x = 0; x < glyph.width; ++x) {
                PutCell(atlas, code, left + x, top + y,
                        glyph.coverage[size_t(y) * size_t(glyph.width) + size_t(x)]);
            }
        }
    }
    return true;
}
