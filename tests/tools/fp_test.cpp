#include "tools/datagen/fp.h"

#include "platform/file.h"

#include <vector>

#include <gtest/gtest.h>

// Two frames of different sizes back to back: each header tells its own size, and the second
// starts exactly where the first one's pixels end.
TEST(Fp, FramesFollowEachOtherWithHeaders)
{
    const std::vector<uint8_t> small(2 * 3 * 3, 0x11);
    std::vector<uint8_t> big(5 * 2 * 3);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = uint8_t(i);
    }
    std::vector<uint8_t> file;
    AppendFpFrame(&file, 2, 3, small.data());
    AppendFpFrame(&file, 5, 2, big.data());
    ASSERT_EQ(file.size(), 24u + small.size() + 24u + big.size());
    const int32_t first[6] = {2, 3, 0, 0, 0, 18};
    const int32_t second[6] = {5, 2, 0, 0, 0, 30};
    const size_t secondAt = 24 + small.size();
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(int32_t(ReadLE32(&file[size_t(i) * 4])), first[i]) << "field " << i;
        EXPECT_EQ(int32_t(ReadLE32(&file[secondAt + size_t(i) * 4])), second[i]) << "field " << i;
    }
}

TEST(Fp, PixelsAreStoredBottomRowFirstWithoutPadding)
{
    constexpr int32_t W = 3;  // 9 bytes a row: padding to 4 would show
    constexpr int32_t H = 2;
    std::vector<uint8_t> rgb;
    for (int32_t y = 0; y < H; ++y) {
        for (int32_t i = 0; i < W * 3; ++i) {
            rgb.push_back(uint8_t(y * 100 + i));
        }
    }
    std::vector<uint8_t> file;
    AppendFpFrame(&file, W, H, rgb.data());
    ASSERT_EQ(file.size(), 24u + W * H * 3);
    for (int32_t i = 0; i < W * 3; ++i) {
        EXPECT_EQ(file[24 + size_t(i)], 100 + i) << "bottom row first";
        EXPECT_EQ(file[24 + W * 3 + size_t(i)], i) << "top row last";
    }
}
