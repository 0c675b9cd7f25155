#include "tools/datagen/font_atlas.h"

#include "tools/datagen/glyphs.h"
#include "tools/datagen/tga.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
class FontAtlasTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(BuildFontAtlas(FONT_MONO, &atlas, &error)) << error;
        ASSERT_EQ(atlas.size(), size_t(FONT_ATLAS_SIDE) * FONT_ATLAS_SIDE);
    }

    // Coverage at (x, y) inside the cell of `code`, y counted from the cell's top.
    uint8_t At(int32_t code, int32_t x, int32_t y) const
    {
        return atlas[size_t((code / 16) * FONT_CELL + y) * FONT_ATLAS_SIDE +
                     size_t((code % 16) * FONT_CELL + x)];
    }

    // Rows of the cell with any ink, top and bottom; -1, -1 for an empty cell.
    std::pair<int32_t, int32_t> InkRows(int32_t code) const
    {
        int32_t top = -1;
        int32_t bottom = -1;
        for (int32_t y = 0; y < FONT_CELL; ++y) {
            for (int32_t x = 0; x < FONT_CELL; ++x) {
                if (At(code, x, y) > 64) {
                    top = top < 0 ? y : top;
                    bottom = y;
                }
            }
        }
        return {top, bottom};
    }

    std::vector<uint8_t> atlas;
};
}  // namespace

// The game reads stored row 0 as the bottom, so the top row of cells, with the insert cursor's
// solid block, must come last in the file.
TEST_F(FontAtlasTest, ControlCodesAreBlankButTheInsertCursor)
{
    for (int32_t code : {0, 1, 10, 13, 31, 32, 127, 128, 159}) {
        EXPECT_EQ(InkRows(code).first, -1) << "code " << code;
    }
    for (int32_t y = 3; y < 13; ++y) {
        for (int32_t x = 3; x < 13; ++x) {
            ASSERT_EQ(At(FONT_INSERT_CURSOR, x, y), 255) << x << "," << y;
        }
    }
    const std::vector<uint8_t> file = EncodeGreyTga(FONT_ATLAS_SIDE, FONT_ATLAS_SIDE, atlas.data());
    const int32_t cursorX = (FONT_INSERT_CURSOR % 16) * FONT_CELL + 8;
    EXPECT_EQ(file[18 + size_t(FONT_ATLAS_SIDE - 1 - 8) * FONT_ATLAS_SIDE + size_t(cursorX)], 255);
}

// Capitals reach near the top, descenders go below the baseline yet stay in the cell, and no
// ink touches a cell's border, where linear filtering would smear it into the neighbour.
TEST_F(FontAtlasTest, GlyphsSitOnOneBaselineInsideTheirCells)
{
    const auto [capTop, capBottom] = InkRows('H');
    EXPECT_LE(capTop, 2);
    const auto [xTop, xBottom] = InkRows('x');
    EXPECT_GT(xTop, capTop);
    EXPECT_EQ(xBottom, capBottom);
    for (const char code : {'g', 'p', 'y'}) {
        EXPECT_GT(InkRows(code).second, capBottom + 1) << code;
    }
    for (int32_t code = 0; code < 256; ++code) {
        for (int32_t i = 0; i < FONT_CELL; ++i) {
            ASSERT_EQ(At(code, i, 0), 0) << "code " << code;
            ASSERT_EQ(At(code, i, FONT_CELL - 1), 0) << "code " << code;
            ASSERT_EQ(At(code, 0, i), 0) << "code " << code;
            ASSERT_EQ(At(code, FONT_CELL - 1, i), 0) << "code " << code;
        }
    }
    for (const int32_t code :
         {int32_t('A'), int32_t('z'), int32_t('0'), int32_t('~'), 0xe9, 0xc9, 0xff}) {
        EXPECT_NE(InkRows(code).first, -1) << "code " << code << " has no glyph";
    }
}
