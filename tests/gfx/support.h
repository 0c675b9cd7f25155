#pragma once

#include <cstdint>
#include <string>

// Builds BMP files byte by byte for the loader tests.

struct Rgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// A colour that differs for every pixel of a small picture and is never black; y counts from
// the bottom row.
inline Rgb PixelColour(int x, int y)
{
    return Rgb{uint8_t(10 + 40 * x), uint8_t(20 + 30 * y), uint8_t(200 - x - 7 * y)};
}

inline void PutLE16(std::string *out, uint32_t value)
{
    *out += char(value & 0xff);
    *out += char((value >> 8) & 0xff);
}

inline void PutLE32(std::string *out, uint32_t value)
{
    PutLE16(out, value & 0xffff);
    PutLE16(out, value >> 16);
}

// 24-bit rows of PixelColour, blue first, padded to 4 bytes, bottom row first unless topDown.
inline std::string Rows24(int width, int height, bool topDown)
{
    std::string rows;
    for (int i = 0; i < height; ++i) {
        const int y = topDown ? height - 1 - i : i;
        for (int x = 0; x < width; ++x) {
            const Rgb colour = PixelColour(x, y);
            rows += {char(colour.b), char(colour.g), char(colour.r)};
        }
        rows.append((4 - width * 3 % 4) % 4, '\0');
    }
    return rows;
}

struct BmpSpec {
    int32_t width = 3;
    int32_t height = 3;
    bool fileHeader = true;
    uint32_t headerSize = 40;  // 12 and 40 get their fields; other sizes pad a 40-byte header
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    std::string palette;  // as stored: 3 bytes an entry after a 12-byte header, else 4
    std::string rows;
};

inline std::string MakeBmp(const BmpSpec &spec)
{
    std::string header;
    PutLE32(&header, spec.headerSize);
    if (spec.headerSize == 12) {
        PutLE16(&header, uint32_t(spec.width));
        PutLE16(&header, uint32_t(spec.height));
        PutLE16(&header, 1);
        PutLE16(&header, spec.bitCount);
    } else {
        PutLE32(&header, uint32_t(spec.width));
        PutLE32(&header, uint32_t(spec.height));
        PutLE16(&header, 1);
        PutLE16(&header, spec.bitCount);
        PutLE32(&header, spec.compression);
        PutLE32(&header, uint32_t(spec.rows.size()));
        PutLE32(&header, 2835);
        PutLE32(&header, 2835);
        PutLE32(&header, spec.coloursUsed);
        PutLE32(&header, 0);
        header.resize(spec.headerSize < 40 ? 40 : spec.headerSize, '\0');
    }
    std::string file;
    if (spec.fileHeader) {
        const size_t offset = 14 + header.size() + spec.palette.size();
        file += "BM";
        PutLE32(&file, uint32_t(offset + spec.rows.size()));
        PutLE32(&file, 0);
        PutLE32(&file, uint32_t(offset));
    }
    return file + header + spec.palette + spec.rows;
}
