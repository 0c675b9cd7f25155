#pragma once

#include "console/console.h"
#include "tests/support/console_output.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

// What the gfx tests share: BMP files built byte by byte, and a fixture that sees the console.

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    bool operator==(const Rgb &other) const { return r == other.r && g == other.g && b == other.b; }
};

// Differs for every pixel of a small picture and is never black; y counts from the bottom row.
inline Rgb PixelColour(int x, int y)
{
    return Rgb{uint8_t(10 + 40 * x), uint8_t(20 + 30 * y), uint8_t(200 - x - 7 * y)};
}

inline void PutLE(std::string *out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        *out += char((value >> (8 * i)) & 0xff);
    }
}

struct BmpLayout {
    int32_t width = 3;
    int32_t height = 3;  // negative: rows stored top first
    bool fileHeader = true;
    uint32_t headerSize = 40;  // 12 writes the core fields; other sizes pad a 40-byte header
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    std::string palette;  // as stored
    std::string rows;     // as stored; 24-bit rows of PixelColour when left empty
};

inline std::string MakeBmp(BmpLayout layout)
{
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const bool makeRows = layout.rows.empty() && layout.bitCount == 24 && layout.width > 0;
    for (int i = 0; makeRows && i < rows; ++i) {
        const int y = layout.height < 0 ? rows - 1 - i : i;
        for (int x = 0; x < layout.width; ++x) {
            const Rgb colour = PixelColour(x, y);
            layout.rows += {char(colour.b), char(colour.g), char(colour.r)};
        }
        layout.rows.append(size_t((4 - layout.width * 3 % 4) % 4), '\0');
    }
    const int sideBytes = layout.headerSize == 12 ? 2 : 4;
    std::string header;
    PutLE(&header, layout.headerSize, 4);
    PutLE(&header, uint32_t(layout.width), sideBytes);
    PutLE(&header, uint32_t(layout.height), sideBytes);
    PutLE(&header, 1, 2);
    PutLE(&header, layout.bitCount, 2);
    if (layout.headerSize != 12) {
        PutLE(&header, layout.compression, 4);
        header.resize(layout.headerSize < 40 ? 40 : layout.headerSize, '\0');
    }
    std::string file;
    if (layout.fileHeader) {
        const size_t offset = 14 + header.size() + layout.palette.size();
        file = "BM";
        PutLE(&file, uint32_t(offset + layout.rows.size()), 4);
        PutLE(&file, 0, 4);
        PutLE(&file, uint32_t(offset), 4);
    }
    return file + header + layout.palette + layout.rows;
}

// Files no picture reader may take, named: every cut of a 3x3 picture that loses a pixel, and
// headers with impossible or absurd values.
inline std::vector<std::pair<std::string, std::string>> DamagedBmps()
{
    std::vector<std::pair<std::string, std::string>> files;
    const std::string whole = MakeBmp(BmpLayout());
    for (size_t length = 0; length + 3 < whole.size(); ++length) {
        files.emplace_back("cut at " + std::to_string(length), whole.substr(0, length));
    }
    const std::pair<int32_t, int32_t> sides[] = {
        {0, 3},      {3, 0},         {-3, 3}, {100000, 3},
        {3, -70000}, {16384, 16384}, {3, 4} /* rows missing */};
    for (const auto &[width, height] : sides) {
        BmpLayout layout;
        layout.width = width;
        layout.height = height;
        layout.rows = MakeBmp(BmpLayout()).substr(54);
        files.emplace_back(std::to_string(width) + "x" + std::to_string(height), MakeBmp(layout));
    }
    return files;
}

// Makes the n-th texture build from now fail (0 for the next), as if GLU ran out of memory;
// -1 lets every build through.
void FailUploadAfter(int uploads);

// Makes an OpenGL context current for the rest of the test program, once; false without one.
bool MakeTestGlContext();

// Level 0 of `texture` as bytes of `format` (GL_RGB or GL_RGBA), rows packed, the bottom row
// first; empty before the texture has a picture.
std::string TexelBytes(uint32_t texture, uint32_t format);

// A fresh console and temporary directory for each test; no texture build fails after it.
class ConsoleFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        C_InitText();
        console.Skip();
    }
    void TearDown() override { FailUploadAfter(-1); }
    ConsoleOutput console;
    TempDir dir;
};
