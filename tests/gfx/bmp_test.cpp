#include "gfx/bmp.h"

#include "tests/gfx/support.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {
struct ImageFree {
    void operator()(DibImage *image) const { FreeDibImage(image); }
};
using ImagePtr = std::unique_ptr<DibImage, ImageFree>;

Rgb PixelAt(const DibImage &image, int pixel)
{
    const uint8_t *const rgb = image.pixels + pixel * 3;
    return Rgb{rgb[0], rgb[1], rgb[2]};
}

class BmpTest : public ::testing::Test {
protected:
    // Loads `bytes` as a file; without a display each message box goes to stderr as
    // "Error: <text>\n" and lands in `messages`.
    ImagePtr Load(const std::string &bytes)
    {
        const std::string path = dir.Write("p.bmp", bytes);
        testing::internal::CaptureStderr();
        ImagePtr image(LoadDibImage(path.c_str()));
        messages = testing::internal::GetCapturedStderr();
        return image;
    }
    TempDir dir;
    std::string messages;
};

// Odd widths pad the file's rows but not the picture's; top-down files come out upright. The
// 3x3 case is 27 bytes, the bottom-left pixel first.
TEST_F(BmpTest, TwentyFourBitPicturesDecodeUprightWithoutPadding)
{
    for (const int width : {1, 3, 4, 5}) {
        for (const int height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << width << "x" << height);
            BmpLayout layout;
            layout.width = width;
            layout.height = height;
            const ImagePtr image = Load(MakeBmp(layout));
            ASSERT_NE(image, nullptr) << messages;
            ASSERT_EQ(image->width, width);
            ASSERT_EQ(image->height, 3);
            for (int pixel = 0; pixel < width * 3; ++pixel) {
                ASSERT_EQ(PixelAt(*image, pixel), PixelColour(pixel % width, pixel / width))
                    << pixel;
            }
        }
    }
}

// 8 bits through the colour table, "colours used" 0 meaning 256 entries: with and without the
// "BM" file header (then the pixels follow the table), and with the 12-byte header's 3-byte
// entries.
TEST_F(BmpTest, PalettisedPicturesDecodeThroughTheirColourTable)
{
    for (const uint32_t headerSize : {40u, 12u}) {
        for (const bool fileHeader : {true, false}) {
            SCOPED_TRACE(testing::Message() << headerSize << (fileHeader ? " BM" : " packed"));
            BmpLayout layout;
            layout.width = 2;
            layout.height = 2;
            layout.headerSize = headerSize;
            layout.fileHeader = fileHeader;
            layout.bitCount = 8;
            for (int entry = 0; entry < 256; ++entry) {
                layout.palette += {char(entry), char(255 - entry), char(entry / 2)};
                layout.palette.append(headerSize == 40 ? 1 : 0, '\0');
            }
            const std::string indices = "\x01\xff\0\0\x80\x07\0\0";
            layout.rows = std::string(indices.data(), 8);
            const ImagePtr image = Load(MakeBmp(layout));
            ASSERT_NE(image, nullptr) << messages;
            for (const int pixel : {0, 1, 2, 3}) {
                const auto entry = uint8_t(indices[pixel < 2 ? pixel : pixel + 2]);
                EXPECT_EQ(PixelAt(*image, pixel),
                          (Rgb{uint8_t(entry / 2), uint8_t(255 - entry), entry}))
                    << pixel;
            }
        }
    }
}

TEST_F(BmpTest, EachFailureShowsItsMessage)
{
    struct Case {
        uint32_t headerSize;
        int32_t width;
        int32_t height;
        uint16_t bitCount;
        const char *message;
    };
    // clang-format off
    const Case cases[] = {
        {108, 3,      3,     24, "Error: Unknown DIB file format.\n"},
        {40,  0,      3,     24, "Error: Image file conversion error.\n"},
        {40,  3,      3,     7,  "Error: Image file conversion error.\n"},
        {40,  3,      4,     24, "Error: Image file conversion error.\n"},  // rows missing
        {40,  100000, 3,     24, "Error: Out of memory.\n"},
        {40,  16384,  16384, 24, "Error: Out of memory.\n"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.headerSize << " " << c.width << "x" << c.height);
        BmpLayout layout;
        layout.rows = MakeBmp(layout).substr(54);
        layout.headerSize = c.headerSize;
        layout.width = c.width;
        layout.height = c.height;
        layout.bitCount = c.bitCount;
        EXPECT_EQ(Load(MakeBmp(layout)), nullptr);
        EXPECT_EQ(messages, c.message);
    }
    const std::string missing = dir.Path("missing.bmp");
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadDibImage(missing.c_str()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error: Failed to open DIB file " + missing + ".\n\n");
}

// The sanitized build also proves that no damaged file is read outside its bytes.
TEST_F(BmpTest, DamagedFilesFailWithOneMessage)
{
    for (const auto &[name, bytes] : DamagedBmps()) {
        for (const bool fileHeader : {true, false}) {
            SCOPED_TRACE(name + (fileHeader ? "" : " packed"));
            EXPECT_EQ(Load(fileHeader || bytes.size() < 14 ? bytes : bytes.substr(14)), nullptr);
            EXPECT_EQ(messages.rfind("Error: ", 0), 0u) << messages;
            EXPECT_EQ(messages.find("Error: ", 1), std::string::npos) << messages;
        }
    }
}
// A 40-byte header with bit-field compression: `masks` (red, green, blue) follow the header, then
// `pixels` of `bitCount` bits, each row padded to 4 bytes.
std::string BitFieldBmp(int32_t width, int32_t height, uint16_t bitCount,
                        const std::vector<uint32_t> &masks, const std::vector<uint32_t> &pixels)
{
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitCount = bitCount;
    layout.compression = 3;
    for (const uint32_t mask : masks) {
        PutLE(&layout.palette, mask, 4);
    }
    const int rows = height < 0 ? -height : height;
    for (int row = 0; row < rows; ++row) {
        std::string stored;
        for (int x = 0; x < width; ++x) {
            PutLE(&stored, pixels[size_t(row * width + x)], bitCount / 8);
        }
        stored.resize((stored.size() + 3) / 4 * 4, '\0');
        layout.rows += stored;
    }
    return MakeBmp(layout);
}

// Each mask picks its channel wherever it lies, with as many bits as it has; the largest value
// of a channel is 255. Masks the platform has no pixel format for (10 bits a channel, channels
// in the top bits) decode too; a channel without a mask is 0.
TEST_F(BmpTest, BitFieldsDecodeWithTheirOwnMasks)
{
    struct Case {
        uint16_t bitCount;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        uint32_t pixel;
        Rgb expected;
    };
    // clang-format off
    const Case cases[] = {
        {16, 0xF800,     0x07E0,     0x001F,     0xFFFF,     {255, 255, 255}},
        {16, 0x001F,     0x07E0,     0xF800,     0x001F,     {255, 0, 0}},
        {16, 0x0F00,     0x00F0,     0x000F,     0x0F80,     {255, 136, 0}},
        {16, 0xF800,     0x07E0,     0,          0xFFFF,     {255, 255, 0}},
        {32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0x00080000, {0, 127, 0}},
        {32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x12345678, {0x12, 0x34, 0x56}},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, pixel " << std::hex << c.pixel);
        const ImagePtr image =
            Load(BitFieldBmp(1, 1, c.bitCount, {c.red, c.green, c.blue}, {c.pixel}));
        ASSERT_NE(image, nullptr) << messages;
        EXPECT_EQ(PixelAt(*image, 0), c.expected);
    }
}

// Rows are padded in the file (16 bits x 3 = 6 bytes, stored in 8) but not in the picture, and
// top-down files come out upright: pixel (x, y) is red, green or blue by (x + y) mod 3.
TEST_F(BmpTest, BitFieldPicturesKeepTheirRows)
{
    struct Depth {
        uint16_t bitCount;
        std::vector<uint32_t> masks;
    };
    const Depth depths[] = {{16, {0xF800, 0x07E0, 0x001F}},
                            {32, {0x3FF00000, 0x000FFC00, 0x000003FF}}};
    for (const Depth &depth : depths) {
        for (const int32_t height : {2, -2}) {
            SCOPED_TRACE(testing::Message() << depth.bitCount << " bits, height " << height);
            std::vector<uint32_t> pixels;
            for (int row = 0; row < 2; ++row) {
                const int y = height < 0 ? 1 - row : row;
                for (int x = 0; x < 3; ++x) {
                    pixels.push_back(depth.masks[size_t((x + y) % 3)]);
                }
            }
            const ImagePtr image =
                Load(BitFieldBmp(3, height, depth.bitCount, depth.masks, pixels));
            ASSERT_NE(image, nullptr) << messages;
            ASSERT_EQ(image->width, 3);
            ASSERT_EQ(image->height, 2);
            const Rgb primaries[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
            for (int pixel = 0; pixel < 6; ++pixel) {
                EXPECT_EQ(PixelAt(*image, pixel), primaries[(pixel % 3 + pixel / 3) % 3]) << pixel;
            }
        }
    }
}

// Masks that overlap, have gaps, reach outside a 16-bit pixel or are all zero are damage; so are
// masks or rows cut off by the end of the file. None is read past the file's end.
TEST_F(BmpTest, BadBitFieldsAreRefused)
{
    const std::vector<uint32_t> pixels(4, 0xFFFF);
    const std::string whole = BitFieldBmp(2, 2, 16, {0xF800, 0x07E0, 0x001F}, pixels);
    const struct {
        const char *name;
        std::string bytes;
    } cases[] = {
        {"overlap", BitFieldBmp(2, 2, 16, {0xF800, 0x0FE0, 0x001F}, pixels)},
        {"gap", BitFieldBmp(2, 2, 16, {0xD800, 0x07E0, 0x001F}, pixels)},
        {"outside", BitFieldBmp(2, 2, 16, {0x1F0000, 0x07E0, 0x001F}, pixels)},
        {"zero", BitFieldBmp(2, 2, 16, {0, 0, 0}, pixels)},
        {"32-bit gap", BitFieldBmp(2, 2, 32, {0xFF0000, 0xFF00, 0x80000001}, pixels)},
        {"rows cut", whole.substr(0, whole.size() - 1)},
        {"masks cut", whole.substr(14, 40 + 8)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Load(c.bytes), nullptr);
        EXPECT_EQ(messages, "Error: Image file conversion error.\n");
    }
}
}  // namespace
