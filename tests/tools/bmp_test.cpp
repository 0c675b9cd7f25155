#include "tools/datagen/bmp.h"

#include "platform/file.h"

#include <vector>

#include <gtest/gtest.h>

namespace {
// A distinct byte for every channel of every pixel, so a swapped row, column or channel shows.
uint8_t Sample(int32_t x, int32_t y, int32_t channel)
{
    return uint8_t(1 + x * 37 + y * 11 + channel * 71);
}
}  // namespace

// Widths 1 to 5 cover every amount of row padding (3, 2, 1, 0, 3 bytes).
TEST(Bmp, HeaderPaddingAndRowOrder)
{
    for (int32_t width = 1; width <= 5; ++width) {
        for (int32_t height : {1, 3}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            std::vector<uint8_t> rgb;
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    for (int32_t c = 0; c < 3; ++c) {
                        rgb.push_back(Sample(x, y, c));
                    }
                }
            }
            const std::vector<uint8_t> file = EncodeBmp(width, height, rgb.data());
            const uint32_t rowSize = uint32_t(width * 3 + 3) / 4 * 4;
            ASSERT_EQ(file.size(), 54 + rowSize * uint32_t(height));
            EXPECT_EQ(file[0], 'B');
            EXPECT_EQ(file[1], 'M');
            EXPECT_EQ(ReadLE32(&file[2]), file.size());
            EXPECT_EQ(ReadLE32(&file[10]), 54u);
            EXPECT_EQ(ReadLE32(&file[14]), 40u);
            EXPECT_EQ(int32_t(ReadLE32(&file[18])), width);
            EXPECT_EQ(int32_t(ReadLE32(&file[22])), height);  // positive: bottom-up
            EXPECT_EQ(ReadLE16(&file[26]), 1);
            EXPECT_EQ(ReadLE16(&file[28]), 24);
            EXPECT_EQ(ReadLE32(&file[30]), 0u);
            EXPECT_EQ(ReadLE32(&file[34]), rowSize * uint32_t(height));
            for (int32_t stored = 0; stored < height; ++stored) {
                const uint8_t *row = &file[54 + size_t(stored) * rowSize];
                const int32_t y = height - 1 - stored;  // the first stored row is the bottom one
                for (int32_t x = 0; x < width; ++x) {
                    EXPECT_EQ(row[x * 3], Sample(x, y, 2)) << "blue of " << x << "," << y;
                    EXPECT_EQ(row[x * 3 + 1], Sample(x, y, 1)) << "green of " << x << "," << y;
                    EXPECT_EQ(row[x * 3 + 2], Sample(x, y, 0)) << "red of " << x << "," << y;
                }
                for (uint32_t pad = uint32_t(width * 3); pad < rowSize; ++pad) {
                    EXPECT_EQ(row[pad], 0) << "padding byte " << pad;
                }
            }
        }
    }
}
