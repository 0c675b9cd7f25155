#include "tools/datagen/tga.h"

#include <vector>

#include <gtest/gtest.h>

TEST(Tga, HeaderIsUncompressedGreyBottomLeft)
{
    const std::vector<uint8_t> grey(256 * 256, 7);
    const std::vector<uint8_t> file = EncodeGreyTga(256, 256, grey.data());
    ASSERT_EQ(file.size(), 18u + 256u * 256u);
    // ID length, colour map type, image type 3, an empty colour map description, origin 0,0,
    // width 256 and height 256 little-endian, 8 bits, descriptor 0.
    const std::vector<uint8_t> expected = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 8, 0};
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 18), expected);
}

TEST(Tga, FirstStoredRowIsTheBottomRow)
{
    constexpr int32_t W = 3;
    constexpr int32_t H = 4;
    std::vector<uint8_t> grey;
    for (int32_t y = 0; y < H; ++y) {
        for (int32_t x = 0; x < W; ++x) {
            grey.push_back(uint8_t(y * 10 + x));
        }
    }
    const std::vector<uint8_t> file = EncodeGreyTga(W, H, grey.data());
    ASSERT_EQ(file.size(), 18u + W * H);
    EXPECT_EQ(file[12], W);
    EXPECT_EQ(file[14], H);
    for (int32_t stored = 0; stored < H; ++stored) {
        for (int32_t x = 0; x < W; ++x) {
            EXPECT_EQ(file[18 + size_t(stored * W + x)], (H - 1 - stored) * 10 + x)
                << "stored row " << stored << ", x " << x;
        }
    }
}
