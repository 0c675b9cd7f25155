#include "tools/datagen/tga.h"

#include <vector>

#include <gtest/gtest.h>

// Type 3 (uncompressed grey), no colour map, 8 bits, origin bottom-left: the bottom row first.
TEST(Tga, HeaderAndBottomRowFirst)
{
    const std::vector<uint8_t> grey = {1, 2, 3, 4, 5, 6};
    const std::vector<uint8_t> file = EncodeGreyTga(3, 2, grey.data());
    const std::vector<uint8_t> expected = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                           3, 0, 2, 0, 8, 0, 4, 5, 6, 1, 2, 3};
    EXPECT_EQ(file, expected);
    EXPECT_EQ(EncodeGreyTga(256, 256, std::vector<uint8_t>(65536).data())[13], 1);
}
