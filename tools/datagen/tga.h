#pragma once

#include <cstdint>
#include <vector>

// An uncompressed 8-bit greyscale TGA (type 3, no colour map, no image ID, origin bottom-left)
// of `grey`: width x height bytes, rows top to bottom. The file stores the bottom row first.
std::vector<uint8_t> EncodeGreyTga(int32_t width, int32_t height, const uint8_t *grey);
