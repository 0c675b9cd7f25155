#include "world/static_layers.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {
TEST(StaticLayersTest, CopyTextureSide)
{
    const struct {
        int32_t width, height, maxSide, side;
    } cases[] = {
        {1024, 768, 8192, 1024}, {1025, 768, 8192, 2048}, {2049, 1536, 2048, 0},
        {0, 600, 8192, 0},       {800, -1, 8192, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " max " << c.maxSide);
        EXPECT_EQ(W_CacheSide(c.width, c.height, c.maxSide), c.side);
    }
}

// Sampled at a pixel's centre, the copy's quad must land in that pixel's own texel, or the copy
// would shift the picture by a pixel somewhere.
TEST(StaticLayersTest, CopyQuadTakesEachPixelFromItsOwnTexel)
{
    for (const int32_t width : {640, 800, 1024, 1280}) {
        const int32_t height = width * 3 / 4;
        const int32_t side = W_CacheSide(width, height, 8192);
        const W_Quad quad = W_CopyQuad(width, height, side);
        SCOPED_TRACE(width);
        ASSERT_EQ(quad.corners[0].x, -4.0);
        ASSERT_EQ(quad.corners[2].x, 4.0);
        ASSERT_EQ(quad.corners[0].y, -3.0);
        ASSERT_EQ(quad.corners[2].y, 3.0);
        for (int32_t pixel = 0; pixel < width; ++pixel) {
            const double at = (pixel + 0.5) / width;
            const double u = quad.corners[0].u + at * (quad.corners[2].u - quad.corners[0].u);
            ASSERT_EQ(int32_t(floor(u * side)), pixel) << "column " << pixel;
        }
        for (int32_t pixel = 0; pixel < height; ++pixel) {
            const double at = (pixel + 0.5) / height;
            const double v = quad.corners[0].v + at * (quad.corners[2].v - quad.corners[0].v);
            ASSERT_EQ(int32_t(floor(v * side)), pixel) << "row " << pixel;
        }
    }
}
}  // namespace
