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
        {{0.5f, 0.5f, 0.5f}, 0.0f, true, 0, 0, 0},        // never painted
        {{0.9f, 0.2f, 0.1f}, 0.4f, true, 0, 0, 0},        // mostly empty edge
        {{0.0f, 0.0f, 0.0f}, 1.0f, true, 1, 1, 1},        // painted black stays visible
        {{0.001f, 0.0f, 0.0f}, 0.6f, true, 1, 1, 1},      // rounds to black, still visible
        {{1.0f, 0.5f, 0.0f}, 0.6f, true, 255, 128, 0},    // ordinary colour kept
        {{0.0f, 0.0f, 0.0f}, 1.0f, false, 0, 0, 0},       // opaque pictures keep black
        {{2.0f, -1.0f, 0.25f}, 0.0f, false, 255, 0, 64},  // clamped, coverage ignored
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.color.r << "," << c.color.g << "," << c.color.b
                                        << " alpha " << c.alpha << (c.keyed ? " keyed" : ""));
        Image image(1, 1);
        image.At(0, 0) = c.color;
        image.AlphaAt(0, 0) = c.alpha;
        const std::vector<uint8_t> bytes = ImageBytes(image, c.keyed);
        ASSERT_EQ(bytes.size(), 3u);
        EXPECT_EQ(bytes[0], c.r);
        EXPECT_EQ(bytes[1], c.g);
        EXPECT_EQ(bytes[2], c.b);
    }
}

// Pictures that repeat across the screen are painted from this noise: it must wrap exactly.
TEST(Raster, NoiseRepeatsOverItsPeriod)
{
    for (const int32_t period : {4, 8}) {
        for (const float x : {0.0f, 0.3f, 2.75f}) {
            for (const float y : {0.0f, 1.6f, 3.9f}) {
                SCOPED_TRACE(testing::Message() << period << " " << x << "," << y);
                const float p = float(period);
                EXPECT_NEAR(Fbm(x, y, period, 3, 9), Fbm(x + p, y, period, 3, 9), 1e-5);
                EXPECT_NEAR(Fbm(x, y, period, 3, 9), Fbm(x, y + p, period, 3, 9), 1e-5);
                EXPECT_NEAR(ValueNoise(x - p, y, period, 9), ValueNoise(x, y, period, 9), 1e-5);
            }
        }
    }
}
