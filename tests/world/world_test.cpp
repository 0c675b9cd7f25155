#include "world/world.h"

#include <gtest/gtest.h>

namespace {
// Each brick covers its cell exactly with the whole picture upright: texture (0, 0) lower left.
TEST(WorldTest, BrickQuadsCoverTheirCells)
{
    const struct {
        int32_t index;
        double left, top;
    } cases[] = {{1, -4.0, 2.8}, {599, 3.6, -2.8}};
    for (const auto &c : cases) {
        const W_Quad quad = W_BrickQuad(c.index);
        const W_Vertex expected[4] = {{c.left, c.top - 0.2, 0, 0},
                                      {c.left, c.top, 0, 1},
                                      {c.left + 0.4, c.top, 1, 1},
                                      {c.left + 0.4, c.top - 0.2, 1, 0}};
        for (int corner = 0; corner < 4; ++corner) {
            SCOPED_TRACE(testing::Message() << c.index << " corner " << corner);
            EXPECT_NEAR(quad.corners[corner].x, expected[corner].x, 1e-9);
            EXPECT_NEAR(quad.corners[corner].y, expected[corner].y, 1e-9);
            EXPECT_EQ(quad.corners[corner].u, expected[corner].u);
            EXPECT_EQ(quad.corners[corner].v, expected[corner].v);
        }
    }
}

// Empty cells and respawn points draw nothing, nor do codes a damaged file brings.
TEST(WorldTest, OnlyBrickKindsAreDrawn)
{
    for (int32_t code = -32768; code <= 32767; ++code) {
        ASSERT_EQ(W_DrawsCode(int16_t(code)), code >= 1 && code <= 7) << code;
    }
}
}  // namespace
