#include "tools/datagen/bmp.h"

#include "platform/file.h"

#include <cstddef>

std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const uint8_t *rgb)
{
    constexpr size_t HEADER_SIZE = 14 + 40;
    const size_t rowSize = (size_t(width) * 3 + 3) / 4 * 4;
    const size_t imageSize = rowSize * size_t(height);
    std::vector<uint8_t> file(HEADER_SIZE + imageSize, 0);
    uint8_t *const h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    WriteLE32(h + 2, uint32_t(file.size()));
    WriteLE32(h + 10, uint32_t(HEADER_SIZE));
    WriteLE32(h + 14, 40);
    WriteLE32(h + 18, uint32_t(width));
    WriteLE32(h + 22, uint32_t(height));  // positive: the first stored row is the bottom one
    WriteLE16(h + 26, 1);
    WriteLE16(h + 28, 24);
    WriteLE32(h + 34, uint32_t(imageSize));
    WriteLE32(h + 38, 2835);  // 72 dpi, for viewers that care
    WriteLE32(h + 42, 2835);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *src = rgb + size_t(height - 1 - y) * size_t(width) * 3;
        uint8_t *dst = h + HEADER_SIZE + size_t(y) * rowSize;
        for (int32_t x = 0; x < width; ++x, src += 3, dst += 3) {
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return file;
}
