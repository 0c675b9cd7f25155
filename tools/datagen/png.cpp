#include "tools/datagen/png.h"

#include <png.h>

namespace {
uint8_t Channel(float value) { return uint8_t(Clamp01(value) * 255.0f + 0.5f); }
}  // namespace

std::vector<uint8_t> EncodePng(const Image &image)
{
    std::vector<uint8_t> rgba;
    rgba.reserve(size_t(image.width) * size_t(image.height) * 4);
    for (int32_t y = 0; y < image.height; ++y) {
        for (int32_t x = 0; x < image.width; ++x) {
            const Color &c = image.At(x, y);
            rgba.insert(rgba.end(),
                        {Channel(c.r), Channel(c.g), Channel(c.b), Channel(image.AlphaAt(x, y))});
        }
    }
    png_image description = {};
    description.version = PNG_IMAGE_VERSION;
    description.width = png_uint_32(image.width);
    description.height = png_uint_32(image.height);
    description.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(description, size, 0, rgba.data(), 0, nullptr)) {
        return {};
    }
    std::vector<uint8_t> file(size);
    if (!png_image_write_to_memory(&description, file.data(), &size, 0, rgba.data(), 0, nullptr)) {
        return {};
    }
    file.resize(size);
    return file;
}
