#pragma once

#include <cstdint>

// A decoded BMP picture: width x height pixels, 3 bytes each (red, green, blue), rows packed
// without padding, the bottom row first. Height is positive whatever the file's row order.
struct DibImage {
    int32_t width;
    int32_t height;
    uint8_t *pixels;
};

// Reads a BMP file, with or without its 14-byte file header, with a 12- or 40-byte bitmap header;
// 16- and 32-bit bit fields decode through their own masks, which must be one run of bits each
// and must not overlap. Returns a new picture owned by the caller (FreeDibImage), or nullptr
// after exactly one message box (caption "Error") saying why.
DibImage *LoadDibImage(const char *path);

// Releases a picture from LoadDibImage; nullptr is allowed.
void FreeDibImage(DibImage *image);

// Number of colour-table entries the bitmap header at `header` implies. The header's first
// field must be readable; a header of any size but 12 or 40 bytes gives 0 and nothing else is
// read, otherwise the whole header must be readable.
uint16_t CountDibColours(const uint8_t *header);
