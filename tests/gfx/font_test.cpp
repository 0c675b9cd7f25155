#include "gfx/font.h"

#include "tests/support/temp_dir.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
constexpr F_Style STYLE = {10, false, {1.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.5f, 0.5f, 1.0f}};

std::string TgaFile(uint8_t colourMapType, uint8_t imageType, uint16_t width, uint16_t height,
                    uint8_t bitsPerPixel, size_t pixelBytes)
{
    std::string file(18, '\0');
    file[1] = char(colourMapType);
    file[2] = char(imageType);
    file.replace(12, 4, {char(width), char(width >> 8), char(height), char(height >> 8)});
    file[16] = char(bitsPerPixel);
    for (size_t i = 0; i < pixelBytes; ++i) {
        file += char(i * 7 + 1);
    }
    return file;
}

struct Layout {
    std::vector<F_Quad> quads;
    F_Box scissor;
    std::string codes;  // the characters drawn, one per quad
};

// Lays `text` out at (100, 50) with size 10.
Layout LayOut(const std::string &text, const F_Style &style = STYLE, int32_t right = 10000)
{
    Layout layout;
    layout.quads.resize(F_MAX_QUADS);
    layout.quads.resize(size_t(F_LayoutText(text.c_str(), style, 100, 50, right,
                                            layout.quads.data(), F_MAX_QUADS, &layout.scissor)));
    for (const F_Quad &quad : layout.quads) {
        layout.codes += char(quad.code);
    }
    return layout;
}

// Quad positions as "x,y" pairs, for comparing a whole line at once.
std::string Positions(const Layout &layout)
{
    std::string positions;
    for (const F_Quad &quad : layout.quads) {
        positions += std::to_string(quad.x) + "," + std::to_string(quad.y) + " ";
    }
    return positions;
}

TEST(FontImageTest, StatusCodesAndRedFirstPixels)
{
    TempDir dir;
    // clang-format off
    const struct { const char *name; std::string bytes; int32_t status; int32_t components; } cases[] = {
        {"grey 256x256", TgaFile(0, 3, 256, 256, 8, 65536), F_LOADED,       1},
        {"colour 4x2",   TgaFile(0, 2, 4, 2, 24, 24),       F_LOADED,       3},
        {"alpha 2x2",    TgaFile(0, 2, 2, 2, 32, 16),       F_LOADED,       4},
        {"colour map",   TgaFile(1, 2, 4, 4, 24, 48),       F_BAD_TYPE,     0},
        {"short header", std::string(17, '\0'),             F_BAD_TYPE,     0},
        {"1024 wide",    TgaFile(0, 2, 1024, 4, 24, 0),     F_BAD_SIDE,     0},
        {"3 high",       TgaFile(0, 2, 4, 3, 24, 0),        F_BAD_SIDE,     0},
        {"16 bits",      TgaFile(0, 2, 4, 4, 16, 32),       F_BAD_DEPTH,    0},
        {"pixels cut",   TgaFile(0, 2, 4, 4, 24, 47),       F_SHORT_PIXELS, 0},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        F_TgaImage image = {};
        EXPECT_EQ(F_DecodeTga(dir.Write("font.tga", c.bytes).c_str(), &image), c.status);
        EXPECT_EQ(image.components, c.components);
        if (c.components >= 3) {
            // Stored blue first, handed to OpenGL red first.
            EXPECT_EQ(image.pixels[0], uint8_t(c.bytes[20]));
            EXPECT_EQ(image.pixels[2], uint8_t(c.bytes[18]));
            EXPECT_EQ(image.pixels[c.components], uint8_t(c.bytes[18 + c.components + 2]));
        }
    }
    F_TgaImage image = {};
    EXPECT_EQ(F_DecodeTga(dir.Path("missing.tga").c_str(), &image), F_CANNOT_OPEN);
}

// Two tabs make the box 4 x 2 = 8 times as wide as the characters; each moves the pen 5 cells.
// A line feed goes one size down to the starting x, and the box reaches down to cover it.
TEST(FontLayoutTest, TabsAndLineFeeds)
{
    Layout layout = LayOut("a\tb\tc");
    EXPECT_EQ(Positions(layout), "100,50 160,50 220,50 ");
    EXPECT_EQ(layout.scissor.width, 5 * 10 * 8);
    EXPECT_EQ(layout.scissor.y, 50);
    EXPECT_EQ(layout.scissor.height, 10);
    layout = LayOut("ab\ncd\n\ne");
    EXPECT_EQ(Positions(layout), "100,50 110,50 100,40 110,40 100,20 ");
    EXPECT_EQ(layout.scissor.width, 8 * 10);
    EXPECT_EQ(layout.scissor.y, 50 - 3 * 10);
    EXPECT_EQ(layout.scissor.height, 4 * 10);
}

// Colour codes take no room: y lands one cell right of x, in red; x keeps the style's colour.
TEST(FontLayoutTest, InlineColourCodesChangeTheRestOfTheText)
{
    const Layout layout = LayOut("x\\c(255 0 0)y\\a(0 255 0 51)z");
    ASSERT_EQ(layout.codes, "xyz");
    EXPECT_EQ(Positions(layout), "100,50 110,50 120,50 ");
    const float expected[3][4] = {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 0.2f}};
    for (int i = 0; i < 12; ++i) {
        EXPECT_FLOAT_EQ(layout.quads[i / 4].colour[i % 4], expected[i / 4][i % 4]) << i;
    }
}

// Codes that do not parse draw as plain characters, and the text still ends at its end.
TEST(FontLayoutTest, BrokenCodesDrawAsPlainCharacters)
{
    // clang-format off
    const std::pair<const char *, const char *> cases[] = {
        {"ab\\",             "ab"},  // a lone backslash at the end draws nothing
        {"\\c(255 0)x",      "\\c(255 0)x"},  // two numbers for three
        {"\\c(1 2 3",        "\\c(1 2 3"},    // no closing parenthesis
        {"\\c (1 2 3)",      "\\c (1 2 3)"},  // the parenthesis must follow the letter
        {"\\\\b+x",          "\\xx"},  // the second backslash turns bold on: x twice
        {"\\c(1 2 3 junk)x", "x"},     // a code runs to the first ")"
    };
    // clang-format on
    for (const auto &[text, drawn] : cases) {
        EXPECT_EQ(LayOut(text).codes, drawn) << text;
    }
}

// Shadow one pixel right and up (two right when bold) in the shadow colour; bold draws the glyph
// again one pixel right; italic shears the top by 8 pixels. The pen stops past the right edge.
TEST(FontLayoutTest, ShadowBoldItalicAndTheRightEdge)
{
    F_Style style = STYLE;
    style.shadow = true;
    const Layout layout = LayOut("a\\b+\\i+b\\b-\\i-c", style);
    EXPECT_EQ(layout.codes, "aabbbcc");
    EXPECT_EQ(Positions(layout), "101,51 100,50 112,51 110,50 111,50 121,51 120,50 ");
    std::string shears;
    for (const F_Quad &quad : layout.quads) {
        shears += std::to_string(quad.shear);
    }
    EXPECT_EQ(shears, "0088800");
    EXPECT_EQ(layout.quads[0].colour[0], 0.0f);
    EXPECT_EQ(layout.quads[1].colour[0], 1.0f);
    EXPECT_EQ(LayOut("abcdef", STYLE, 120).codes, "abc");
    EXPECT_EQ(LayOut("a\tbc", STYLE, 120).codes, "a");
}

// Without a GL context F_Print draws nowhere, but it must still reset the style it used.
TEST(FontPrintTest, StyleLastsForOnePrint)
{
    F_SetSize(30);
    F_Shadow();
    F_SetColorA(1.0f, 0.0f, 0.0f, 0.5f);
    F_SetShadowColor(0.0f, 0.0f, 1.0f);
    ASSERT_EQ(F_CurrentStyle().size, 30);
    F_Print(0, 0, "%s", "text");
    const F_Style style = F_CurrentStyle();
    EXPECT_EQ(style.size, 12);
    EXPECT_FALSE(style.shadow);
    EXPECT_EQ(std::vector<float>(style.colour, style.colour + 4), std::vector<float>(4, 1.0f));
    EXPECT_EQ(std::vector<float>(style.shadowColour, style.shadowColour + 4),
              std::vector<float>({0.5f, 0.5f, 0.5f, 1.0f}));
}
// A cell counts as blank only when linear filtering can find no texel with alpha in it or one
// texel around it, wrapping round the picture's edges as the texture repeats.
TEST(FontTest, BlankGlyphsReachOneTexelPastTheirCell)
{
    const struct {
        const char *what;
        int32_t components;
        int32_t x, y;  // the one texel set, in a 32 x 32 picture of 2 x 2 cells
        std::vector<int32_t> drawn;
    } cases[] = {
        // Row 28 is the lower row of the second row of cells from the top (codes 16 to 31).
        {"inside code 17", 1, 2, 28, {16, 17, 32, 33}},
        {"the corner, wrapping", 1, 0, 0, {0, 15, 240, 255}},
        {"the opposite corner, in the alpha of RGBA", 4, 31, 31, {0, 15, 240, 255}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        F_TgaImage image = {32, 32, c.components, std::vector<uint8_t>(32 * 32 * c.components)};
        if (c.components == 4) {
            for (size_t i = 0; i < image.pixels.size(); i += 4) {
                image.pixels[i] = 255;  // colour without alpha draws nothing
            }
        }
        image.pixels[size_t(c.y * 32 + c.x) * size_t(c.components) + size_t(c.components - 1)] = 1;
        bool blank[256];
        F_FindBlankGlyphs(image, blank);
        std::vector<int32_t> drawn;
        for (int32_t code = 0; code < 256; ++code) {
            if (!blank[code]) {
                drawn.push_back(code);
            }
        }
        EXPECT_EQ(drawn, c.drawn);
    }
    F_TgaImage rgb = {32, 32, 3, std::vector<uint8_t>(32 * 32 * 3)};
    bool blank[256];
    F_FindBlankGlyphs(rgb, blank);
    EXPECT_EQ(std::count(blank, blank + 256, true), 0) << "a picture without alpha draws all";
}
}  // namespace
