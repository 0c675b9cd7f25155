#include "tools/datagen/bmp.h"

#include "platform/file.h"

#include <vector>

#include <gtest/gtest.h>

// Widths 1 to 4 cover every amount of row padding; every channel of every pixel differs, so a
// swapped row, column or channel shows.
TEST(Bmp, HeaderPaddingAndRowOrder)
{
    for (int32_t width = 1; width <= 4; ++width) {
        SCOPED_TRACE(width);
        constexpr int32_t HEIGHT = 3;
        std::vector<uint8_t> rgb;
        for (int32_t i = 0; i < width * HEIGHT * 3; ++i) {
            rgb.push_back(uint8_t(1 + i));
        }
        const std::vector<uint8_t> file = EncodeBmp(width, HEIGHT, rgb.data());
        const size_t rowSize = size_t(width * 3 + 3) / 4 * 4;
        ASSERT_EQ(file.size(), 54 + rowSize * HEIGHT);
        EXPECT_EQ(ReadLE32(&file[2]), file.size());
        EXPECT_EQ(ReadLE32(&file[10]), 54u);
        EXPECT_EQ(int32_t(ReadLE32(&file[18])), width);
        EXPECT_EQ(int32_t(ReadLE32(&file[22])), HEIGHT);  // positive: bottom-up
        EXPECT_EQ(ReadLE16(&file[28]), 24);
        for (int32_t y = 0; y < HEIGHT; ++y) {
            const uint8_t *const row = &file[54 + size_t(HEIGHT - 1 - y) * rowSize];
            for (int32_t x = 0; x < width; ++x) {
                const uint8_t *const pixel = &rgb[size_t((y * width + x) * 3)];
                EXPECT_EQ(std::vector<uint8_t>(row + x * 3, row + x * 3 + 3),
                          std::vector<uint8_t>({pixel[2], pixel[1], pixel[0]}))
                    << x << "," << y;
            }
            EXPECT_EQ(std::vector<uint8_t>(row + width * 3, row + rowSize),
                      std::vector<uint8_t>(rowSize - size_t(width) * 3, 0));
        }
    }
}
