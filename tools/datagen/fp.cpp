#include "tools/datagen/fp.h"

#include "platform/file.h"

#include <algorithm>
#include <cstddef>

void AppendFpFrame(std::vector<uint8_t> *file, int32_t width, int32_t height, const uint8_t *rgb)
{
    const size_t rowBytes = size_t(width) * 3;
    const size_t start = file->size();
    file->resize(start + 24 + rowBytes * size_t(height));
    uint8_t *const h = file->data() + start;
    WriteLE32(h, uint32_t(width));
    WriteLE32(h + 4, uint32_t(height));
    WriteLE32(h + 8, 0);
    WriteLE32(h + 12, 0);
    WriteLE32(h + 16, 0);
    WriteLE32(h + 20, uint32_t(rowBytes * size_t(height)));
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *src = rgb + size_t(height - 1 - y) * rowBytes;
        std::copy(src, src + rowBytes, h + 24 + size_t(y) * rowBytes);
    }
}
