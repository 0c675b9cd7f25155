#include "tools/datagen/tga.h"

#include "platform/file.h"

#include <cstddef>
#include <cstring>

std::vector<uint8_t> EncodeGreyTga(int32_t width, int32_t height, const uint8_t *grey)
{
    constexpr size_t HEADER_SIZE = 18;
    std::vector<uint8_t> file(HEADER_SIZE + size_t(width) * size_t(height), 0);
    uint8_t *const h = file.data();
    h[2] = 3;
    WriteLE16(h + 12, uint16_t(width));
    WriteLE16(h + 14, uint16_t(height));
    h[16] = 8;
    h[17] = 0;  // no alpha bits, bottom-left origin
    for (int32_t y = 0; y < height; ++y) {
        memcpy(h + HEADER_SIZE + size_t(y) * size_t(width),
               grey + size_t(height - 1 - y) * size_t(width), size_t(width));
    }
    return file;
}
