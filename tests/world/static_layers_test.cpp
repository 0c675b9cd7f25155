#include "world/static_layers.h"

#include <cmath>
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

namespace {
TEST(StaticLayersTest, CopyTextureSide)
{
    const struct {
        int32_t width, height, maxSide, side;
    } cases[] = {
        {800, 600, 8192, 1024},   {1024, 768, 8192, 1024},   {1025, 768, 8192, 2048},
        {640, 480, 8192, 1024},   {2048, 1536, 2048, 2048},  {2049, 1536, 2048, 0},
        {1, 1, 8192, 1},          {0, 600, 8192, 0},         {800, -1, 8192, 0},
        {4096, 4096, 4096, 4096}, {8193, 2, 1 << 30, 16384},
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

// Anything the layers are drawn from must make the kept copy stale.
TEST(StaticLayersTest, EveryPartOfTheKeyCounts)
{
    static W_LayerKey base;
    memset(&base, 0, sizeof base);
    base.mapLoaded = true;
    base.viewport[2] = 800;
    base.viewport[3] = 600;
    const struct {
        const char *what;
        std::function<void(W_LayerKey &)> change;
    } changes[] = {
        {"a cell", [](W_LayerKey &k) { k.cells[599] = 3; }},
        {"the background", [](W_LayerKey &k) { k.textures[0] = 9; }},
        {"a brick texture", [](W_LayerKey &k) { k.textures[8] = 9; }},
        {"the viewport", [](W_LayerKey &k) { k.viewport[1] = 60; }},
        {"the projection", [](W_LayerKey &k) { k.projection[5] = 0.5f; }},
        {"blending", [](W_LayerKey &k) { k.blending = true; }},
        {"the blend source", [](W_LayerKey &k) { k.blendSource = 1; }},
        {"the blend destination", [](W_LayerKey &k) { k.blendDestination = 1; }},
        {"the map", [](W_LayerKey &k) { k.mapLoaded = false; }},
    };
    static W_LayerKey changed;
    memcpy(&changed, &base, sizeof changed);
    EXPECT_TRUE(changed == base);
    for (const auto &c : changes) {
        SCOPED_TRACE(c.what);
        memcpy(&changed, &base, sizeof changed);
        c.change(changed);
        EXPECT_FALSE(changed == base);
    }
}
}  // namespace
