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
                const Rgb colour = PixelColour(pixel % width, pixel / width);
                const uint8_t *rgb = image->pixels + pixel * 3;
                ASSERT_EQ(rgb[0], colour.r) << pixel;
                ASSERT_EQ(rgb[1], colour.g) << pixel;
                ASSERT_EQ(rgb[2], colour.b) << pixel;
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
                const int entry = uint8_t(indices[pixel < 2 ? pixel : pixel + 2]);
                const uint8_t *rgb = image->pixels + pixel * 3;
                EXPECT_EQ(rgb[0], entry / 2) << pixel;
                EXPECT_EQ(rgb[1], 255 - entry) << pixel;
                EXPECT_EQ(rgb[2], entry) << pixel;
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
        {124, 3,      3,     24, "Error: Unknown DIB file format.\n"},
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
}  // namespace
