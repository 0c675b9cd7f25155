#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Decodes a complete BMP file held in memory ("BM" header first) of any depth or compression
// the platform's decoder knows into packed RGB, 3 bytes a pixel, no row padding, bottom row
// first, upright whatever the file's row order. False, with the outputs untouched, when the file
// cannot be decoded. The caller bounds the picture's size before calling.
bool P_DecodeBmp(const uint8_t *fileBytes, size_t size, std::vector<uint8_t> *rgbBottomUp,
                 int32_t *width, int32_t *height);
