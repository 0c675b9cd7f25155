#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr const char *FONT_MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr const char *FONT_MONO_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
constexpr const char *FONT_SANS_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Coverage of one glyph or a line of text, 0 to 255, rows top to bottom. `left` and `top` place
// the bitmap relative to the pen on the baseline (top counts upwards).
struct GlyphMask {
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t advance = 0;  // pixels
    std::vector<uint8_t> coverage;
};

// A font face opened with FreeType; closes it when destroyed.
class Typeface {
public:
    Typeface() = default;
    ~Typeface();
    Typeface(const Typeface &) = delete;
    Typeface &operator=(const Typeface &) = delete;

    // Opens the font file; false with a reason in `error` when it cannot.
    bool Open(const char *path, std::string *error);
    // Sets the size in pixels per em; width and height may differ to widen or narrow the face.
    void SetPixelSize(int32_t width, int32_t height);
    // Renders one Unicode code point; false when the face has no glyph for it.
    bool RenderGlyph(uint32_t codePoint, GlyphMask *glyph);
    // Renders a line of Latin-1 text into one mask whose `top` is the height above the baseline.
    GlyphMask RenderLine(const std::string &text);
    int32_t Ascender() const;   // pixels above the baseline at the current size
    int32_t Descender() const;  // pixels below the baseline, positive

private:
    void *library = nullptr;  // FT_Library, kept out of this header
    void *face = nullptr;     // FT_Face
};
