#pragma once

#include <cstdint>
#include <vector>

// An uncompressed 24-bit BMP (14-byte file header, 40-byte information header, rows bottom-up and
// padded to 4 bytes) of `rgb`: width x height pixels of red, green, blue, rows top to bottom.
std::vector<uint8_t> EncodeBmp(int32_t width, int32_t height, const uint8_t *rgb);
