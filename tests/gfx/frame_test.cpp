#include "gfx/frame.h"

#include "platform/file.h"
#include "platform/gl.h"
#include "tests/gfx/support.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
// One frame as stored: header, with the size field as given or as width x height x 3, and pixels.
std::string FrameBytes(int32_t width, int32_t height, const std::string &pixels,
                       uint32_t sizeField = 0)
{
    std::string frame;
    for (const uint32_t field : {uint32_t(width), uint32_t(height), 7u, 8u, 9u,
                                 sizeField != 0 ? sizeField : uint32_t(width * height * 3)}) {
        PutLE(&frame, field, 4);
    }
    return frame + pixels;
}

class FrameFileTest : public ConsoleFileTest {
protected:
    // Reads `bytes` as an .fp file; returns each frame's pixels as a string.
    std::vector<std::string> Read(const std::string &bytes, uint8_t transparent = 1)
    {
        path = dir.Write("anim.fp", bytes);
        const FilePtr file(fopen(path.c_str(), "rb"));
        read.clear();
        stride = transparent ? 4 : 3;
        count = ReadFrames(file.get(), path.c_str(), transparent, header, Keep, this, &refused);
        return read;
    }
    static void Keep(void *context, uint32_t, const FramePicture &picture)
    {
        auto *const test = static_cast<FrameFileTest *>(context);
        const size_t pixels = size_t(picture.width) * size_t(picture.height);
        test->read.emplace_back(reinterpret_cast<const char *>(picture.pixels),
                                pixels * test->stride);
    }
    std::vector<std::string> read;  // frames from the last Read
    size_t stride = 4;
    std::string path;
    int32_t header[6] = {};
    uint32_t count = 0;
    bool refused = false;
};

// Pixels with all three bytes at 10 or less turn transparent; (11, 0, 0) stays opaque.
TEST_F(FrameFileTest, ThreeFramesInFileOrderWithTheNearBlackKey)
{
    const std::vector<std::string> frames =
        Read(FrameBytes(2, 1, std::string("\x0a\x0a\x0a\x0b\0\0", 6)) +
             FrameBytes(1, 1, "\xff\x01\x02") +
             FrameBytes(1, 2, std::string("\0\0\x0b\x05\x05\x05", 6)));
    ASSERT_EQ(count, 3u);
    EXPECT_EQ(frames[0], std::string("\x0a\x0a\x0a\0\x0b\0\0\xff", 8));
    EXPECT_EQ(frames[1], "\xff\x01\x02\xff");
    EXPECT_EQ(frames[2], std::string("\0\0\x0b\xff\x05\x05\x05\0", 8));
    EXPECT_EQ(std::vector<int32_t>(header, header + 6), std::vector<int32_t>({1, 2, 7, 8, 9, 6}));
    EXPECT_EQ(console.Printed(), "");
}

// A frame cut short is kept, its missing pixels repeating the last bytes read (zeros if none);
// reading stops there. Opaque frames are sized from their sides, not the lying size field.
TEST_F(FrameFileTest, CutFramesAndLyingSizeFields)
{
    std::vector<std::string> frames = Read(FrameBytes(1, 1, "abc") + FrameBytes(3, 1, "defg"));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(frames[1], "def\xff"
                         "gef\xff"
                         "gef\xff");
    EXPECT_EQ(Read(FrameBytes(2, 1, "")), std::vector<std::string>({std::string(8, '\0')}));
    frames = Read(FrameBytes(2, 1, "abcdef", 1) + FrameBytes(1, 1, "ghi", 1), 0);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(frames, std::vector<std::string>({"abcdef", "ghi"}));
}

TEST_F(FrameFileTest, StopsAtTheTableSizeOrAtABadSize)
{
    std::string many;
    for (int i = 0; i < 300; ++i) {
        many += FrameBytes(1, 1, "abc");
    }
    EXPECT_EQ(Read(many).size(), 256u);
    EXPECT_EQ(count, 256u);
    const std::pair<int32_t, int32_t> sides[] = {{0, 1}, {1, 0}, {-1, 1}, {4097, 1}, {1, 4097}};
    for (const auto &[width, height] : sides) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        const std::string file = FrameBytes(1, 1, "abc") + FrameBytes(width, height, "abc") + many;
        EXPECT_EQ(Read(file).size(), 1u);
        EXPECT_EQ(count, 1u);
        EXPECT_TRUE(refused);
        EXPECT_EQ(console.Printed(), "Warning: Frame : bad frame size in \"" + path + "\"\n");
    }
    Read(many);
    EXPECT_FALSE(refused);
}

class FrameUploadTest : public ConsoleFileTest {};

// Opaque rows of 3 or 6 bytes are packed in the file and in the buffer: read with the wrong
// alignment they shift and run past the buffer's end. Sides are powers of two, so level 0 is
// the picture itself.
TEST_F(FrameUploadTest, UploadedFramesKeepTheirRows)
{
    ASSERT_TRUE(MakeTestGlContext());
    const std::pair<int, int> sides[] = {{1, 2}, {2, 2}, {2, 4}, {4, 2}};
    for (const uint8_t transparent : {0, 1}) {
        for (const auto &[width, height] : sides) {
            SCOPED_TRACE(testing::Message() << int(transparent) << ": " << width << "x" << height);
            std::string pixels;
            std::string rgba;
            for (int i = 0; i < width * height; ++i) {
                const std::string pixel = {char(20 + 3 * i), char(100 + 5 * i), char(250 - 7 * i)};
                pixels += pixel;
                rgba += pixel + '\xff';
            }
            const std::string path = dir.Write("anim.fp", FrameBytes(width, height, pixels));
            Frame frame = {};
            frame.Load(path.c_str(), transparent);
            ASSERT_EQ(frame.frameCount, 1u);
            ASSERT_NE(frame.textures[0], 0u);
            EXPECT_EQ(TexelBytes(frame.textures[0], transparent ? GL_RGBA : GL_RGB),
                      transparent ? rgba : pixels);
        }
    }
}

// One line per load: the success line (an empty file too), or instead the warning of a missing
// file or a refused set (whose good frames are kept), or the texture line when a frame's texture
// cannot be built (its entry stays 0, the others load).
TEST_F(FrameUploadTest, EachLoadPrintsOneLine)
{
    ASSERT_TRUE(MakeTestGlContext());
    const std::string good = FrameBytes(1, 1, "abc");
    const struct {
        bool exists;
        std::string bytes;
        int failingUpload;
        const char *line;
        std::vector<bool> textured;
    } cases[] = {
        {false, "", -1, "Warning: Frame : cannot open \"%\"\n", {}},
        {true, "", -1, "Image: \"%\" loaded succesfull.\n", {}},
        {true, good + good, -1, "Image: \"%\" loaded succesfull.\n", {true, true}},
        {true,
         good + FrameBytes(0, 1, "abc") + good,
         -1,
         "Warning: Frame : bad frame size in \"%\"\n",
         {true}},
        {true, good + good + good, 1, "T_Texture : Cannot find \"%\"\n", {true, false, true}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        const std::string path = c.exists ? dir.Write("anim.fp", c.bytes) : dir.Path("missing.fp");
        Frame frame = {};
        FailUploadAfter(c.failingUpload);
        frame.Load(path.c_str(), 1);
        std::string line = c.line;
        line.replace(line.find('%'), 1, path);
        EXPECT_EQ(console.Printed(), line);
        EXPECT_EQ(frame.transparency, c.exists ? 1 : 0);
        ASSERT_EQ(frame.frameCount, c.textured.size());
        for (size_t i = 0; i < c.textured.size(); ++i) {
            EXPECT_EQ(frame.textures[i] != 0, c.textured[i]) << i;
        }
    }
}

// Rate 20 is a 50 ms period; with 16 ms steps the first change comes on the fifth advance (64 ms
// piled up), then every fourth, wrapping after the last frame. No frames: frame 0 for ever.
TEST(FrameAdvanceTest, FrameChangesAfterMoreThanOnePeriod)
{
    Frame frame = {};
    frame.frameCount = 3;
    frame.SetRate(20.0f);
    Frame unloaded = {};
    unloaded.SetRate(20.0f);
    std::string shown;
    for (int advance = 1; advance <= 13; ++advance) {
        frame.Advance(uint8_t(advance % 2), 16);
        unloaded.Advance(0, 16);
        shown += char('0' + frame.currentFrame);
        ASSERT_EQ(unloaded.currentFrame, 0u);
    }
    EXPECT_EQ(shown, "0000111122220");
    EXPECT_EQ(frame.facing, 1);
}

}  // namespace
