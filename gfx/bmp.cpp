#include "gfx/bmp.h"

#include "platform/file.h"
#include "platform/image.h"
#include "platform/window.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr uint16_t FILE_MAGIC = 0x4D42;  // "BM"
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr uint32_t CORE_HEADER_SIZE = 12;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t COMPRESSION_NONE = 0;
constexpr uint32_t COMPRESSION_BITFIELDS = 3;
constexpr size_t BITFIELD_MASKS_SIZE = 12;  // red, green and blue masks after an information header
// No picture of ours comes near these; larger means a damaged header, and refusing it before
// anything is allocated keeps a few bytes of damage from asking for gigabytes.
constexpr int64_t MAX_SIDE = 16384;
constexpr int64_t MAX_PIXELS = int64_t(1) << 25;
constexpr long MAX_FILE_BYTES = long(1) << 28;

constexpr char UNKNOWN_FORMAT[] = "Unknown DIB file format.";
constexpr char CONVERSION_ERROR[] = "Image file conversion error.";
constexpr char OUT_OF_MEMORY[] = "Out of memory.";

// The working form of either bitmap header.
struct BitmapHeader {
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    uint32_t xResolution;
    uint32_t yResolution;
    uint32_t coloursUsed;
    uint32_t coloursImportant;
};

void Fail(const char *text) { P_MessageBox(text, "Error"); }

BitmapHeader ReadHeader(const uint8_t *header, uint16_t colourCount)
{
    BitmapHeader info = {};
    if (ReadLE32(header) == CORE_HEADER_SIZE) {
        info.width = ReadLE16(header + 4);
        info.height = ReadLE16(header + 6);
        info.planes = ReadLE16(header + 8);
        info.bitCount = ReadLE16(header + 10);
        info.coloursUsed = colourCount;
        info.coloursImportant = colourCount;
        return info;
    }
    info.width = int32_t(ReadLE32(header + 4));
    info.height = int32_t(ReadLE32(header + 8));
    info.planes = ReadLE16(header + 12);
    info.bitCount = ReadLE16(header + 14);
    info.compression = ReadLE32(header + 16);
    info.imageSize = ReadLE32(header + 20);
    info.xResolution = ReadLE32(header + 24);
    info.yResolution = ReadLE32(header + 28);
    info.coloursUsed = ReadLE32(header + 32);
    info.coloursImportant = ReadLE32(header + 36);
    if (info.coloursUsed == 0) {
        info.coloursUsed = colourCount;
    }
    return info;
}

// Writes the "BM" file the platform decoder takes: file header, information header, masks,
// colour table with 4-byte entries, then the pixel bytes as the source file has them.
std::vector<uint8_t> BuildBmpFile(const BitmapHeader &info, const uint8_t *masks, size_t masksSize,
                                  const uint8_t *table, uint16_t colourCount, size_t entrySize,
                                  const uint8_t *pixelBytes, size_t pixelSize)
{
    const size_t pixelOffset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + masksSize + colourCount * 4u;
    std::vector<uint8_t> out(pixelOffset + pixelSize);
    uint8_t *at = out.data();
    WriteLE16(at, FILE_MAGIC);
    WriteLE32(at + 2, uint32_t(out.size()));
    WriteLE32(at + 10, uint32_t(pixelOffset));
    at += FILE_HEADER_SIZE;
    WriteLE32(at, INFO_HEADER_SIZE);
    WriteLE32(at + 4, uint32_t(info.width));
    WriteLE32(at + 8, uint32_t(info.height));
    WriteLE16(at + 12, info.planes);
    WriteLE16(at + 14, info.bitCount);
    WriteLE32(at + 16, info.compression);
    WriteLE32(at + 20, info.imageSize);
    WriteLE32(at + 24, info.xResolution);
    WriteLE32(at + 28, info.yResolution);
    WriteLE32(at + 32, info.coloursUsed);
    WriteLE32(at + 36, info.coloursImportant);
    at += INFO_HEADER_SIZE;
    if (masksSize != 0) {
        memcpy(at, masks, masksSize);
        at += masksSize;
    }
    for (size_t i = 0; i < colourCount; ++i) {
        const uint8_t *const entry = table + i * entrySize;
        at[0] = entry[0];
        at[1] = entry[1];
        at[2] = entry[2];
        at[3] = entrySize == 4 ? entry[3] : 0;
        at += 4;
    }
    if (pixelSize != 0) {
        memcpy(at, pixelBytes, pixelSize);
    }
    return out;
}

// One colour channel of a bit-field picture: where its bits lie in a pixel and their largest
// value. A channel without bits (mask 0) reads as 0.
struct Channel {
    uint32_t mask;
    uint32_t shift;
    uint32_t largest;
};

// False for a mask that is not one run of bits inside a pixel of `bitCount` bits.
bool ReadChannel(uint32_t mask, uint16_t bitCount, Channel *channel)
{
    const uint32_t pixelMask = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    if ((mask & ~pixelMask) != 0) {
        return false;
    }
    if (mask == 0) {
        *channel = Channel{0, 0, 1};
        return true;
    }
    uint32_t shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const uint32_t run = mask >> shift;
    if ((run & (run + 1)) != 0) {
        return false;  // a gap between the mask's bits
    }
    *channel = Channel{mask, shift, run};
    return true;
}

// Scaled as the platform's conversion scales the masks it knows: the largest value gives 255.
uint8_t ChannelValue(uint32_t pixel, const Channel &channel)
{
    return uint8_t(uint64_t((pixel & channel.mask) >> channel.shift) * 255 / channel.largest);
}

// Decodes 16- or 32-bit pixels through the red, green and blue masks at `masks` into packed RGB,
// bottom row first. The rows must all be in `pixels` (checked by the caller). False for masks
// that overlap, have gaps, reach outside the pixel or are all zero.
bool DecodeBitFields(const uint8_t *masks, const BitmapHeader &info, int64_t rows,
                     const uint8_t *pixels, std::vector<uint8_t> *rgb)
{
    const uint32_t red = ReadLE32(masks);
    const uint32_t green = ReadLE32(masks + 4);
    const uint32_t blue = ReadLE32(masks + 8);
    Channel channels[3];
    if ((red | green | blue) == 0 || (red & green) != 0 || (red & blue) != 0 ||
        (green & blue) != 0 || !ReadChannel(red, info.bitCount, &channels[0]) ||
        !ReadChannel(green, info.bitCount, &channels[1]) ||
        !ReadChannel(blue, info.bitCount, &channels[2])) {
        return false;
    }
    const size_t width = size_t(info.width);
    const size_t pixelBytes = info.bitCount / 8u;
    const size_t rowBytes = (width * info.bitCount + 31) / 32 * 4;
    rgb->resize(width * size_t(rows) * 3);
    for (int64_t fileRow = 0; fileRow < rows; ++fileRow) {
        // A negative height stores the top row first.
        const int64_t pictureRow = info.height < 0 ? rows - 1 - fileRow : fileRow;
        const uint8_t *in = pixels + size_t(fileRow) * rowBytes;
        uint8_t *out = rgb->data() + size_t(pictureRow) * width * 3;
        for (size_t x = 0; x < width; ++x, in += pixelBytes, out += 3) {
            const uint32_t pixel = pixelBytes == 2 ? ReadLE16(in) : ReadLE32(in);
            for (size_t c = 0; c < 3; ++c) {
                out[c] = ChannelValue(pixel, channels[c]);
            }
        }
    }
    return true;
}

DibImage *MakeImage(const std::vector<uint8_t> &rgb, int32_t width, int32_t height)
{
    auto *const image = static_cast<DibImage *>(malloc(sizeof(DibImage)));
    auto *const pixels = static_cast<uint8_t *>(malloc(rgb.size()));
    if (image == nullptr || pixels == nullptr) {
        free(image);
        free(pixels);
        Fail(OUT_OF_MEMORY);
        return nullptr;
    }
    memcpy(pixels, rgb.data(), rgb.size());
    image->width = width;
    image->height = height;
    image->pixels = pixels;
    return image;
}
}  // namespace

uint16_t CountDibColours(const uint8_t *header)
{
    const uint32_t size = ReadLE32(header);
    uint16_t bitCount = 0;
    if (size == CORE_HEADER_SIZE) {
        bitCount = ReadLE16(header + 10);
    } else if (size == INFO_HEADER_SIZE) {
        const uint32_t coloursUsed = ReadLE32(header + 32);
        if (coloursUsed != 0) {
            return uint16_t(coloursUsed);
        }
        bitCount = ReadLE16(header + 14);
    }
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

DibImage *LoadDibImage(const char *path)
{
    std::vector<uint8_t> file;
    const P_FileRead read = P_ReadWholeFile(path, MAX_FILE_BYTES, &file);
    // An empty file cannot be mapped, so it fails like a missing one.
    if (read == P_FileRead::UNREADABLE || (read == P_FileRead::READ && file.empty())) {
        const std::string text = std::string("Failed to open DIB file ") + path + ".\n";
        Fail(text.c_str());
        return nullptr;
    }
    if (read == P_FileRead::TOO_LARGE) {
        Fail(OUT_OF_MEMORY);
        return nullptr;
    }
    const bool hasFileHeader = file.size() >= 2 && ReadLE16(file.data()) == FILE_MAGIC;
    const size_t headerStart = hasFileHeader ? FILE_HEADER_SIZE : 0;
    // A bitmap header cut short by the end of the file is no header we know.
    if (file.size() < headerStart + 4) {
        Fail(UNKNOWN_FORMAT);
        return nullptr;
    }
    const uint8_t *const header = file.data() + headerStart;
    const uint32_t headerSize = ReadLE32(header);
    if ((headerSize != CORE_HEADER_SIZE && headerSize != INFO_HEADER_SIZE) ||
        file.size() - headerStart < headerSize) {
        Fail(UNKNOWN_FORMAT);
        return nullptr;
    }
    const uint16_t colourCount = CountDibColours(header);
    const BitmapHeader info = ReadHeader(header, colourCount);

    const size_t masksSize =
        headerSize == INFO_HEADER_SIZE && info.compression == COMPRESSION_BITFIELDS
            ? BITFIELD_MASKS_SIZE
            : 0;
    const size_t entrySize = headerSize == CORE_HEADER_SIZE ? 3 : 4;
    const size_t masksStart = headerStart + headerSize;
    const size_t tableStart = masksStart + masksSize;
    const size_t tableEnd = tableStart + colourCount * entrySize;
    // Without a file header the pixels follow the colour table.
    const size_t pixelOffset = hasFileHeader ? ReadLE32(file.data() + 10) : tableEnd;
    if (tableEnd > file.size() || pixelOffset > file.size() || info.width <= 0 ||
        info.height == 0) {
        Fail(CONVERSION_ERROR);
        return nullptr;
    }
    const int64_t rows = info.height < 0 ? -int64_t(info.height) : int64_t(info.height);
    if (info.width > MAX_SIDE || rows > MAX_SIDE || info.width * rows > MAX_PIXELS) {
        Fail(OUT_OF_MEMORY);
        return nullptr;
    }
    const size_t pixelSize = file.size() - pixelOffset;
    if (info.compression == COMPRESSION_NONE || info.compression == COMPRESSION_BITFIELDS) {
        // Refused here rather than by the decoder, before it allocates for the whole picture.
        const uint64_t rowBytes = (uint64_t(info.width) * info.bitCount + 31) / 32 * 4;
        if (rowBytes * uint64_t(rows) > pixelSize) {
            Fail(CONVERSION_ERROR);
            return nullptr;
        }
    }

    if (masksSize != 0 && (info.bitCount == 16 || info.bitCount == 32)) {
        // Decoded here: the platform's decoder refuses masks it has no pixel format for.
        std::vector<uint8_t> rgb;
        if (!DecodeBitFields(file.data() + masksStart, info, rows, file.data() + pixelOffset,
                             &rgb)) {
            Fail(CONVERSION_ERROR);
            return nullptr;
        }
        return MakeImage(rgb, info.width, int32_t(rows));
    }
    const std::vector<uint8_t> bmp =
        BuildBmpFile(info, file.data() + masksStart, masksSize, file.data() + tableStart,
                     colourCount, entrySize, file.data() + pixelOffset, pixelSize);
    std::vector<uint8_t> rgb;
    int32_t width = 0;
    int32_t height = 0;
    if (!P_DecodeBmp(bmp.data(), bmp.size(), &rgb, &width, &height)) {
        Fail(CONVERSION_ERROR);
        return nullptr;
    }
    return MakeImage(rgb, width, height);
}

void FreeDibImage(DibImage *image)
{
    if (image != nullptr) {
        free(image->pixels);
        free(image);
    }
}
