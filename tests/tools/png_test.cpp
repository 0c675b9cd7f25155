#include "tools/datagen/png.h"

#include "tools/datagen/icons.h"

#include <png.h>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::vector<uint8_t> Decode(const std::vector<uint8_t> &file, png_image *description)
{
    *description = {};
    description->version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(description, file.data(), file.size())) {
        return {};
    }
    description->format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(*description));
    png_image_finish_read(description, nullptr, rgba.data(), 0, nullptr);
    return rgba;
}
}  // namespace

// Rows top to bottom, channels in order, coverage as alpha: a swap or flip shows.
TEST(Png, PixelsRoundTrip)
{
    Image image(3, 2);
    image.Blend(0, 0, Color{1.0f, 0.0f, 0.0f}, 1.0f);
    image.At(2, 0) = Color{0.0f, 0.0f, 1.0f};
    image.AlphaAt(2, 0) = 0.5f;
    image.Blend(1, 1, Color{0.0f, 1.0f, 0.0f}, 1.0f);
    png_image description;
    const std::vector<uint8_t> rgba = Decode(EncodePng(image), &description);
    ASSERT_EQ(rgba.size(), 3u * 2u * 4u);
    EXPECT_EQ(description.width, 3u);
    EXPECT_EQ(description.height, 2u);
    const std::vector<uint8_t> expected = {255, 0, 0, 255, 0, 0,   0, 0,   0, 0, 255, 128,
                                           0,   0, 0, 0,   0, 255, 0, 255, 0, 0, 0,   0};
    EXPECT_EQ(rgba, expected);
}

// An icon is a plate: see-through corners, solid middle, so the desktop shows its rounded shape.
TEST(Png, IconsAreRoundedPlates)
{
    for (const Image &icon : {PaintGameIcon(64), PaintEditorIcon(64)}) {
        ASSERT_EQ(icon.width, 64);
        ASSERT_EQ(icon.height, 64);
        EXPECT_LT(icon.AlphaAt(0, 0), 0.05f);
        EXPECT_LT(icon.AlphaAt(63, 63), 0.05f);
        EXPECT_GT(icon.AlphaAt(32, 32), 0.95f);
        EXPECT_GT(icon.AlphaAt(32, 3), 0.95f);  // the straight edge is not cut
    }
}
