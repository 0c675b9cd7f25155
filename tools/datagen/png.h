#pragma once

#include "tools/datagen/raster.h"

#include <cstdint>
#include <vector>

// A PNG file of the picture: 8-bit RGBA, coverage as alpha, for the desktop's icons.
std::vector<uint8_t> EncodePng(const Image &image);
