#include "tools/datagen/fp.h"

#include "platform/file.h"

#include <vector>

#include <gtest/gtest.h>

// Two frames back to back: each header tells its own size, and the second starts exactly where
// the first one's pixels end. Rows of 9 bytes go bottom first, unpadded.
TEST(Fp, FramesFollowEachOtherBottomRowFirst)
{
    std::vector<uint8_t> rgb;
    for (int32_t i = 0; i < 3 * 2 * 3; ++i) {
        rgb.push_back(uint8_t(i));
    }
    std::vector<uint8_t> file;
    AppendFpFrame(&file, 3, 2, rgb.data());
    AppendFpFrame(&file, 1, 2, rgb.data());
    ASSERT_EQ(file.size(), 24u + 18u + 24u + 6u);
    const int32_t headers[2][6] = {{3, 2, 0, 0, 0, 18}, {1, 2, 0, 0, 0, 6}};
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(int32_t(ReadLE32(&file[size_t(i) * 4])), headers[0][i]) << "field " << i;
        EXPECT_EQ(int32_t(ReadLE32(&file[42 + size_t(i) * 4])), headers[1][i]) << "field " << i;
    }
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 24, file.begin() + 42),
              std::vector<uint8_t>({9, 10, 11, 12, 13, 14, 15, 16, 17, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 66, file.end()),
              std::vector<uint8_t>({3, 4, 5, 0, 1, 2}));
}
