#include "tools/datagen/raster.h"

#include <gtest/gtest.h>

// The game's colour key is exact black: holes must be exactly (0,0,0) and painted pixels never.
TEST(Raster, ColourKeyedBytesKeepHolesAndPaintApart)
{
    const struct {
        Color color;
        float alpha;
        bool keyed;
        uint8_t r, g, b;
    } cases[] = {
        {{0.9f, 0.2f, 0.1f}, 0.4f, true, 0, 0, 0},      // mostly empty edge
        {{0.001f, 0.0f, 0.0f}, 0.6f, true, 1, 1, 1},    // rounds to black, still visible
        {{1.0f, 0.5f, 0.0f}, 0.6f, true, 255, 128, 0},  // ordinary colour kept
        {{0.0f, 0.0f, 0.0f}, 1.0f, false, 0, 0, 0},     // opaque pictures keep black
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.color.r << " alpha " << c.alpha);
        Image image(1, 1);
        image.At(0, 0) = c.color;
        image.AlphaAt(0, 0) = c.alpha;
        EXPECT_EQ(ImageBytes(image, c.keyed), std::vector<uint8_t>({c.r, c.g, c.b}));
    }
}
