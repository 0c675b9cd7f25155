#pragma once

#include <cstdint>
#include <vector>

// F_LoadImage's answers.
constexpr int32_t F_LOADED = 1;
constexpr int32_t F_CANNOT_OPEN = -13;
constexpr int32_t F_BAD_TYPE = -14;  // a colour map, or not uncompressed true colour or grey
constexpr int32_t F_BAD_SIDE = -15;  // a side that is not a power of two from 2 to 512
constexpr int32_t F_BAD_DEPTH = -16;
constexpr int32_t F_SHORT_PIXELS = -17;  // pixel data cut short, or no memory for it

// F_Print keeps at most this many bytes of formatted text, terminator included.
constexpr int32_t F_TEXT_SIZE = 1024;
// A character draws at most three quads: its shadow, itself and its bold copy.
constexpr int32_t F_MAX_QUADS = 3 * (F_TEXT_SIZE - 1);

// The settings the next F_Print draws with.
struct F_Style {
    int32_t size;  // pixels
    bool shadow;
    float colour[4];
    float shadowColour[4];
};

// One glyph square to draw: its lower-left corner in viewport pixels, its side, the italic shear
// of its top edge in pixels, the character code and the colour.
struct F_Quad {
    int32_t x;
    int32_t y;
    int32_t size;
    int32_t shear;
    uint8_t code;
    float colour[4];
};

// The scissor box of a text, in window pixels.
struct F_Box {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// A decoded font picture: width x height pixels of `components` bytes (1 alpha, 3 RGB, 4 RGBA),
// rows in file order.
struct F_TgaImage {
    int32_t width;
    int32_t height;
    int32_t components;
    std::vector<uint8_t> pixels;
};

// Creates the font texture and loads the TGA picture at `path` into it; returns F_LoadImage's
// answer. Needs the GL context.
int32_t F_Load(const char *path);

// Loads the TGA picture at `path` into texture `texture`; F_LOADED or one of the failure codes,
// after which nothing is uploaded.
int32_t F_LoadImage(const char *path, uint32_t texture);

// The decoding half of F_LoadImage: same answers, no OpenGL.
int32_t F_DecodeTga(const char *path, F_TgaImage *image);

// Marks in `blank` the character cells of a font picture whose every texel, and every texel one
// step around them (where linear filtering reaches, wrapping at the edges), has alpha 0: drawn
// blended, they change no pixel. A picture without alpha has none.
void F_FindBlankGlyphs(const F_TgaImage &image, bool blank[256]);

// On (the start), F_Print leaves out the quads of blank cells; off, it draws every one.
void F_SkipBlankGlyphs(bool on);

// Style for the next F_Print only; colour parts run from 0 to 1.
void F_SetColor(float r, float g, float b);
void F_SetColorA(float r, float g, float b, float a);
void F_SetShadowColor(float r, float g, float b);
void F_SetSize(int32_t size);
void F_Shadow();

// Formats the text (at most 1023 characters kept) and draws it with its first line's lower-left
// corner at viewport pixel (x, y), honouring tabs, line feeds and the inline codes \c(r g b),
// \a(r g b a), \i+ \i- and \b+ \b-. Leaves the OpenGL state as it found it and the style reset.
void F_Print(int32_t x, int32_t y, const char *format, ...) __attribute__((format(printf, 3, 4)));

// Back to the default style: size 12, no shadow, white, grey shadow.
void F_Reset();

// The style the next F_Print will use.
F_Style F_CurrentStyle();

// Lays `text` out as F_Print draws it with `style`, starting at (x, y), the pen stopping once past
// `viewportRight`. Fills at most `capacity` quads in drawing order and the scissor box; returns
// the number of quads.
int32_t F_LayoutText(const char *text, const F_Style &style, int32_t x, int32_t y,
                     int32_t viewportRight, F_Quad *quads, int32_t capacity, F_Box *scissor);
