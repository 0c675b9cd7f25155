#pragma once

#include <cstdint>
#include <vector>

// Appends one animation frame to `file`: a 24-byte header of six little-endian int32 (width,
// height, 0, 0, 0, pixel bytes), then `rgb` (width x height pixels of red, green, blue, rows top
// to bottom) stored bottom row first without padding.
void AppendFpFrame(std::vector<uint8_t> *file, int32_t width, int32_t height, const uint8_t *rgb);
