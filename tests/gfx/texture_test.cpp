#include "gfx/texture.h"

#include "platform/gl.h"
#include "tests/gfx/support.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
class TextureTest : public ConsoleFileTest {
protected:
    std::vector<uint8_t> ReadKeyed(const BmpLayout &layout)
    {
        path = dir.Write("p.bmp", MakeBmp(layout));
        return T_ReadColourKeyed(path.c_str(), &width, &height);
    }
    std::string path;
    int32_t width = 0;
    int32_t height = 0;
};

// Pure black alone turns transparent; (0,0,1) in either byte order stays opaque. The buffer is
// RGBA, bottom-left pixel first; row padding is skipped (no diagonal skew) and top-down files come
// out bottom row first.
TEST_F(TextureTest, ColourKeyedRowsStayStraightAndOnlyBlackIsClear)
{
    BmpLayout keyed;
    keyed.width = 2;
    keyed.height = 2;
    // Blue, green, red per pixel, bottom row first, two bytes of padding after each row.
    const uint8_t rows[] = {0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 255, 255, 255, 0, 0};
    keyed.rows.assign(reinterpret_cast<const char *>(rows), sizeof rows);
    EXPECT_EQ(ReadKeyed(keyed),
              std::vector<uint8_t>({0, 0, 0, 0, 1, 0, 0, 255, 0, 0, 1, 255, 255, 255, 255, 255}));
    for (const int pictureWidth : {1, 3, 4, 5}) {
        for (const int pictureHeight : {3, -3}) {
            SCOPED_TRACE(testing::Message() << pictureWidth << "x" << pictureHeight);
            BmpLayout layout;
            layout.width = pictureWidth;
            layout.height = pictureHeight;
            const std::vector<uint8_t> rgba = ReadKeyed(layout);
            ASSERT_EQ(width, pictureWidth);
            ASSERT_EQ(height, 3);
            ASSERT_EQ(rgba.size(), size_t(pictureWidth) * 3 * 4);
            for (int pixel = 0; pixel < pictureWidth * 3; ++pixel) {
                const Rgb colour = PixelColour(pixel % pictureWidth, pixel / pictureWidth);
                const std::vector<uint8_t> expected = {colour.r, colour.g, colour.b, 255};
                ASSERT_EQ(std::vector<uint8_t>(&rgba[pixel * 4], &rgba[pixel * 4 + 4]), expected)
                    << pixel;
            }
        }
    }
    EXPECT_EQ(console.Printed(), "");
}

// Cut, compressed, other depths, a core header or absurd sides: one line each, nothing read.
TEST_F(TextureTest, ColourKeyedReaderRefusesDamagedFiles)
{
    auto files = DamagedBmps();
    for (const auto &[bitCount, compression, headerSize] :
         {std::tuple<uint16_t, uint32_t, uint32_t>{32, 0, 40},
          {8, 0, 40},
          {24, 1, 40},
          {24, 0, 12}}) {
        BmpLayout layout;
        layout.bitCount = bitCount;
        layout.compression = compression;
        layout.headerSize = headerSize;
        layout.rows = std::string(64, '\x01');
        files.emplace_back("kind " + std::to_string(bitCount) + "/" + std::to_string(compression) +
                               "/" + std::to_string(headerSize),
                           MakeBmp(layout));
    }
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string file = dir.Write("bad.bmp", bytes);
        width = -1;
        EXPECT_TRUE(T_ReadColourKeyed(file.c_str(), &width, &width).empty());
        EXPECT_EQ(width, -1);
        EXPECT_EQ(console.Printed(), "T_Texture : bad picture \"" + file + "\"\n");
    }
}

// A file that is missing, damaged or cannot be built into a texture leaves the record empty: the
// game says so on the console (or in the DIB reader's box), the editor stays silent.
TEST_F(TextureTest, FailedLoadsLeaveTheRecordEmpty)
{
    ASSERT_TRUE(MakeTestGlContext());
    const std::string missing = dir.Path("missing.bmp");
    const std::string broken = dir.Write("broken.bmp", "BM");
    const std::string good = dir.Write("p.bmp", MakeBmp(BmpLayout()));
    enum class Kind { OPAQUE, KEYED, EDITOR };
    const struct {
        std::string path;
        Kind kind;
        bool uploadFails;
        std::string console;
        std::string messageBox;
    } cases[] = {
        {missing, Kind::OPAQUE, false, "T_Texture : Cannot find \"" + missing + "\"\n", ""},
        {missing, Kind::KEYED, false, "T_Texture : Cannot find \"" + missing + "\"\n", ""},
        {missing, Kind::EDITOR, false, "", ""},
        {broken, Kind::OPAQUE, false, "", "Error: Unknown DIB file format.\n"},
        {broken, Kind::KEYED, false, "T_Texture : bad picture \"" + broken + "\"\n", ""},
        {good, Kind::OPAQUE, true, "T_Texture : Cannot find \"" + good + "\"\n", ""},
        {good, Kind::KEYED, true, "T_Texture : Cannot find \"" + good + "\"\n", ""},
        {good, Kind::EDITOR, true, "", ""},
        {good, Kind::KEYED, false, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.path << " as " << int(c.kind)
                                        << (c.uploadFails ? ", upload failing" : ""));
        T_Texture texture = {};
        FailUploadAfter(c.uploadFails ? 0 : -1);
        testing::internal::CaptureStderr();
        if (c.kind == Kind::EDITOR) {
            texture.LoadEditor(c.path.c_str());
        } else {
            texture.Load(c.path.c_str(), c.kind == Kind::KEYED);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.messageBox);
        EXPECT_EQ(console.Printed(), c.console);
        EXPECT_EQ(texture.glName != 0, c.path == good && !c.uploadFails);
        if (c.path != good) {
            EXPECT_EQ(texture.image, nullptr);
        }
        FreeDibImage(texture.image);  // the game keeps it for good
    }
}

// A deferred texture is named at its load, keeps that name, and gets at the build exactly the
// picture an immediate load gives it; one whose build fails ends empty, saying so only then.
TEST_F(TextureTest, DeferredBuildsKeepTheirNamesAndPictures)
{
    ASSERT_TRUE(MakeTestGlContext());
    BmpLayout layout;
    layout.width = 5;  // rows padded: a copy of the pixels taken short would show
    const std::string file = dir.Write("p.bmp", MakeBmp(layout));
    for (const bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "colour-keyed" : "opaque");
        T_Texture now = {};
        now.Load(file.c_str(), keyed);
        T_DeferTextureBuilds(true);
        T_Texture later = {};
        later.Load(file.c_str(), keyed);
        T_Texture failing = {};
        failing.Load(file.c_str(), keyed);
        const uint32_t named = later.glName;
        ASSERT_NE(named, 0u);
        EXPECT_NE(failing.glName, 0u);
        EXPECT_TRUE(TexelBytes(named, GL_RGBA).empty()) << "built before its time";
        EXPECT_EQ(console.Printed(), "");
        FailUploadAfter(1);  // the second deferred build
        T_BuildDeferredTextures();
        EXPECT_EQ(later.glName, named);
        EXPECT_EQ(TexelBytes(later.glName, GL_RGBA), TexelBytes(now.glName, GL_RGBA));
        EXPECT_EQ(failing.glName, 0u);
        EXPECT_EQ(console.Printed(), "T_Texture : Cannot find \"" + file + "\"\n");
        T_Texture after = {};
        after.Load(file.c_str(), keyed);
        EXPECT_FALSE(TexelBytes(after.glName, GL_RGBA).empty()) << "still deferred after the build";
        for (T_Texture *texture : {&now, &later, &failing, &after}) {
            FreeDibImage(texture->image);
        }
    }
}
}  // namespace
