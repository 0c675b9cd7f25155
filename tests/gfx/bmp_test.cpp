#include "gfx/bmp.h"

#include "tests/gfx/bmp_files.h"
#include "tests/support/temp_dir.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace {
struct ImageFree {
    void operator()(DibImage *image) const { FreeDibImage(image); }
};
using ImagePtr = std::unique_ptr<DibImage, ImageFree>;

// Without a display the message box goes to stderr as "Error: <text>\n".
struct Loaded {
    ImagePtr image;
    std::string messages;
};

Loaded Load(const std::string &path)
{
    testing::internal::CaptureStderr();
    ImagePtr image(LoadDibImage(path.c_str()));
    return Loaded{std::move(image), testing::internal::GetCapturedStderr()};
}

size_t CountBoxes(const std::string &messages)
{
    size_t count = 0;
    for (size_t at = messages.find("Error: "); at != std::string::npos;
         at = messages.find("Error: ", at + 1)) {
        ++count;
    }
    return count;
}

void ExpectPicture(const DibImage &image, int width, int height)
{
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t *pixel = image.pixels + (y * width + x) * 3;
            const Rgb colour = PixelColour(x, y);
            ASSERT_EQ(pixel[0], colour.r) << x << "," << y;
            ASSERT_EQ(pixel[1], colour.g) << x << "," << y;
            ASSERT_EQ(pixel[2], colour.b) << x << "," << y;
        }
    }
}

class BmpTest : public ::testing::Test {
protected:
    TempDir dir;
};

// Odd widths leave row padding in the file but none in memory; a top-down file comes out
// upright. The 3x3 case is 27 bytes with the bottom-left pixel first.
TEST_F(BmpTest, TwentyFourBitPicturesDecodeUprightWithoutPadding)
{
    for (const int width : {1, 2, 3, 4, 5}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << "width " << width << (topDown ? " top-down" : ""));
            BmpSpec spec;
            spec.width = width;
            spec.height = topDown ? -3 : 3;
            spec.rows = Rows24(width, 3, topDown);
            const Loaded loaded = Load(dir.Write("p.bmp", MakeBmp(spec)));
            ASSERT_NE(loaded.image, nullptr) << loaded.messages;
            EXPECT_EQ(loaded.messages, "");
            ExpectPicture(*loaded.image, width, 3);
        }
    }
}

// An 8-bit picture through its colour table, with "colours used" 0 meaning 256 entries: with and
// without the "BM" file header (then the pixels follow the table), and with the 12-byte header
// whose table has 3-byte entries.
TEST_F(BmpTest, PalettisedPicturesDecodeThroughTheirColourTable)
{
    for (const uint32_t headerSize : {40u, 12u}) {
        for (const bool fileHeader : {true, false}) {
            SCOPED_TRACE(testing::Message() << headerSize << (fileHeader ? " BM" : " packed"));
            BmpSpec spec;
            spec.width = 2;
            spec.height = 2;
            spec.headerSize = headerSize;
            spec.fileHeader = fileHeader;
            spec.bitCount = 8;
            for (int entry = 0; entry < 256; ++entry) {
                spec.palette += {char(entry), char(255 - entry), char(entry / 2)};
                if (headerSize == 40) {
                    spec.palette += '\0';
                }
            }
            spec.rows = std::string{char(1), char(255), 0, 0, char(128), char(7), 0, 0};
            const Loaded loaded = Load(dir.Write("p.bmp", MakeBmp(spec)));
            ASSERT_NE(loaded.image, nullptr) << loaded.messages;
            const uint8_t *pixels = loaded.image->pixels;
            for (const int index : {0, 1, 2, 3}) {
                const int entry = std::string("\x01\xff\x80\x07")[index] & 0xff;
                SCOPED_TRACE(index);
                EXPECT_EQ(pixels[index * 3], entry / 2);  // red is the third byte of an entry
                EXPECT_EQ(pixels[index * 3 + 1], 255 - entry);
                EXPECT_EQ(pixels[index * 3 + 2], entry);
            }
        }
    }
}

TEST_F(BmpTest, FailuresShowExactlyOneMessage)
{
    BmpSpec good;
    good.rows = Rows24(3, 3, false);
    struct Case {
        const char *name;
        uint32_t headerSize;
        int32_t width;
        int32_t height;
        uint16_t bitCount;
        const char *message;
    };
    // clang-format off
    const Case cases[] = {
        {"header 108",        108,   3,      3,      24, "Error: Unknown DIB file format.\n"},
        {"header 124",        124,   3,      3,      24, "Error: Unknown DIB file format.\n"},
        {"header 0",          0,     3,      3,      24, "Error: Unknown DIB file format.\n"},
        {"zero width",        40,    0,      3,      24, "Error: Image file conversion error.\n"},
        {"zero height",       40,    3,      0,      24, "Error: Image file conversion error.\n"},
        {"negative width",    40,    -3,     3,      24, "Error: Image file conversion error.\n"},
        {"bit count 7",       40,    3,      3,      7,  "Error: Image file conversion error.\n"},
        {"huge width",        40,    100000, 3,      24, "Error: Out of memory.\n"},
        {"huge top-down",     40,    3,      -70000, 24, "Error: Out of memory.\n"},
        {"huge area",         40,    16384,  16384,  24, "Error: Out of memory.\n"},
        {"rows missing",      40,    3,      4,      24, "Error: Image file conversion error.\n"},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BmpSpec spec = good;
        spec.headerSize = c.headerSize;
        spec.width = c.width;
        spec.height = c.height;
        spec.bitCount = c.bitCount;
        const Loaded loaded = Load(dir.Write("bad.bmp", MakeBmp(spec)));
        EXPECT_EQ(loaded.image, nullptr);
        EXPECT_EQ(loaded.messages, c.message);
    }
    const std::string missing = dir.Path("missing.bmp");
    const Loaded loaded = Load(missing);
    EXPECT_EQ(loaded.image, nullptr);
    EXPECT_EQ(loaded.messages, "Error: Failed to open DIB file " + missing + ".\n\n");
}

// Every cut of a valid file, with and without file header, fails cleanly: one message, no image,
// and (in the sanitized build) no read outside the file.
TEST_F(BmpTest, TruncatedFilesFailCleanly)
{
    BmpSpec spec;
    spec.rows = Rows24(3, 3, false);
    for (const bool fileHeader : {true, false}) {
        spec.fileHeader = fileHeader;
        const std::string whole = MakeBmp(spec);
        for (size_t length = 0; length < whole.size(); ++length) {
            SCOPED_TRACE(testing::Message() << (fileHeader ? "BM, " : "packed, ") << length);
            const Loaded loaded = Load(dir.Write("cut.bmp", whole.substr(0, length)));
            EXPECT_EQ(loaded.image, nullptr);
            EXPECT_EQ(CountBoxes(loaded.messages), 1u) << loaded.messages;
        }
    }
}

TEST(CountDibColours, FollowsHeaderSizeColoursUsedAndBitCount)
{
    struct Case {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t coloursUsed;
        uint16_t expected;
    };
    // clang-format off
    const Case cases[] = {
        {12, 1, 0, 2},    {12, 4, 0, 16},   {12, 8, 0, 256},  {12, 24, 0, 0},
        {40, 8, 0, 256},  {40, 8, 17, 17},  {40, 24, 5, 5},   {40, 16, 0, 0},
        {40, 8, 0x10005, 5},  // only the low 16 bits count
        {108, 8, 0, 0},
    };
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.headerSize << " " << c.bitCount << " " << c.coloursUsed);
        BmpSpec spec;
        spec.fileHeader = false;
        spec.headerSize = c.headerSize;
        spec.bitCount = c.bitCount;
        spec.coloursUsed = c.coloursUsed;
        const std::string header = MakeBmp(spec);
        EXPECT_EQ(CountDibColours(reinterpret_cast<const uint8_t *>(header.data())), c.expected);
    }
}
}  // namespace
