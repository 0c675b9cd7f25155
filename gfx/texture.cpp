#include "gfx/texture.h"

#include "console/console.h"
#include "platform/file.h"
#include "platform/gl.h"

#include <string>
#include <utility>

namespace {
constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t HEADERS_SIZE = FILE_HEADER_SIZE + 40;
// No picture of ours comes near these; larger means damage, refused before allocating.
constexpr int64_t MAX_SIDE = 16384;
constexpr int64_t MAX_PIXELS = int64_t(1) << 25;

std::vector<uint8_t> RefuseColourKeyed(const char *path)
{
    C_Print("T_Texture : bad picture \"", path, "\"\n", nullptr);
    return {};
}

// A texture named at its load, its mipmaps built after the first picture.
struct DeferredBuild {
    uint32_t *name;
    T_Pixels pixels;
    std::vector<uint8_t> bytes;  // the pixels' own copy: the loader's buffer is gone by then
    std::string path;
};

bool deferBuilds = false;
std::vector<DeferredBuild> deferredBuilds;

// Builds the mipmaps into `*name`, bound here and made here unless named already; on failure
// deletes it and leaves 0.
bool BuildNow(uint32_t *name, const T_Pixels &pixels)
{
    GLuint made = *name;
    if (made == 0) {
        glGenTextures(1, &made);
    }
    glBindTexture(GL_TEXTURE_2D, made);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, pixels.alignment);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    if (gluBuild2DMipmaps(GL_TEXTURE_2D, pixels.components, pixels.width, pixels.height,
                          pixels.format, GL_UNSIGNED_BYTE, pixels.data) != 0) {
        // Empty like a missing picture's record, so no half-made texture is ever bound.
        glDeleteTextures(1, &made);
        made = 0;
    }
    *name = made;
    return made != 0;
}

size_t PixelBytes(const T_Pixels &pixels)
{
    const size_t bytesPerPixel = pixels.format == GL_RGBA ? 4 : 3;
    const size_t row = size_t(pixels.width) * bytesPerPixel;
    const size_t align = size_t(pixels.alignment);
    return (row + align - 1) / align * align * size_t(pixels.height);
}

// Uploads packed RGB rows; the editor asks for four components, the game for three.
uint32_t UploadOpaque(const DibImage &image, GLint components)
{
    uint32_t name = 0;
    BuildNow(&name, T_Pixels{components, image.width, image.height, GL_RGB, 1, image.pixels});
    return name;
}
}  // namespace

std::vector<uint8_t> T_ReadColourKeyed(const char *path, int32_t *width, int32_t *height)
{
    const FilePtr file(fopen(path, "rb"));
    uint8_t header[HEADERS_SIZE];
    if (!file || fread(header, 1, sizeof header, file.get()) != sizeof header) {
        return RefuseColourKeyed(path);
    }
    const uint32_t pixelOffset = ReadLE32(header + 10);
    const uint32_t headerSize = ReadLE32(header + 14);
    const int32_t fileWidth = int32_t(ReadLE32(header + 18));
    const int32_t fileHeight = int32_t(ReadLE32(header + 22));
    const uint16_t bitCount = ReadLE16(header + 28);
    const uint32_t compression = ReadLE32(header + 30);
    const int64_t rows = fileHeight < 0 ? -int64_t(fileHeight) : int64_t(fileHeight);
    // Only uncompressed 24-bit pixels can be read as three bytes each; the size checks keep a
    // damaged header from sizing the buffer.
    if (headerSize < 40 || bitCount != 24 || compression != 0 || fileWidth <= 0 || rows == 0 ||
        fileWidth > MAX_SIDE || rows > MAX_SIDE || fileWidth * rows > MAX_PIXELS) {
        return RefuseColourKeyed(path);
    }
    const size_t rowBytes = size_t(fileWidth) * 3;
    const size_t padding = (4 - rowBytes % 4) % 4;
    if (fseek(file.get(), 0, SEEK_END) != 0) {
        return RefuseColourKeyed(path);
    }
    const long fileSize = ftell(file.get());
    // The last row may lack its padding; every pixel must be there.
    const uint64_t needed =
        uint64_t(pixelOffset) + (rowBytes + padding) * uint64_t(rows - 1) + rowBytes;
    if (fileSize < 0 || needed > uint64_t(fileSize) ||
        fseek(file.get(), long(pixelOffset), SEEK_SET) != 0) {
        return RefuseColourKeyed(path);
    }
    std::vector<uint8_t> rgba(size_t(fileWidth) * size_t(rows) * 4);
    std::vector<uint8_t> row(rowBytes + padding);
    for (int64_t fileRow = 0; fileRow < rows; ++fileRow) {
        const size_t wanted = fileRow + 1 < rows ? rowBytes + padding : rowBytes;
        if (fread(row.data(), 1, wanted, file.get()) != wanted) {
            return RefuseColourKeyed(path);
        }
        // A negative height stores the top row first; the buffer is always bottom row first.
        const int64_t pictureRow = fileHeight < 0 ? rows - 1 - fileRow : fileRow;
        uint8_t *out = rgba.data() + size_t(pictureRow) * size_t(fileWidth) * 4;
        for (size_t at = 0; at < rowBytes; at += 3) {
            const uint8_t blue = row[at];
            const uint8_t green = row[at + 1];
            const uint8_t red = row[at + 2];
            out[0] = red;
            out[1] = green;
            out[2] = blue;
            out[3] = (red | green | blue) == 0 ? 0 : 255;
            out += 4;
        }
    }
    *width = fileWidth;
    *height = int32_t(rows);
    return rgba;
}

void T_Texture::Load(const char *path, bool colourKey)
{
    if (!P_FileReadable(path)) {
        C_Print("T_Texture : Cannot find \"", path, "\"\n", nullptr);
        return;
    }
    if (!colourKey) {
        image = LoadDibImage(path);
        if (image == nullptr) {
            return;  // the loader has said why; uploading nothing leaves the record empty
        }
        if (!T_BuildTexture(&glName,
                            T_Pixels{3, image->width, image->height, GL_RGB, 1, image->pixels},
                            path)) {
            C_Print("T_Texture : Cannot find \"", path, "\"\n", nullptr);
        }
        return;
    }
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint8_t> rgba = T_ReadColourKeyed(path, &width, &height);
    if (rgba.empty()) {
        return;
    }
    if (!T_BuildTexture(&glName, T_Pixels{4, width, height, GL_RGBA, 4, rgba.data()}, path)) {
        C_Print("T_Texture : Cannot find \"", path, "\"\n", nullptr);
    }
}

bool T_BuildTexture(uint32_t *name, const T_Pixels &pixels, const char *path)
{
    *name = 0;
    if (!deferBuilds) {
        return BuildNow(name, pixels);
    }
    GLuint made = 0;
    glGenTextures(1, &made);
    *name = made;
    DeferredBuild build = {name, pixels, {}, path};
    build.bytes.assign(pixels.data, pixels.data + PixelBytes(pixels));
    deferredBuilds.push_back(std::move(build));
    return true;
}

void T_DeferTextureBuilds(bool on) { deferBuilds = on; }

void T_BuildDeferredTextures()
{
    deferBuilds = false;
    for (DeferredBuild &build : deferredBuilds) {
        T_Pixels pixels = build.pixels;
        pixels.data = build.bytes.data();
        if (!BuildNow(build.name, pixels)) {
            C_Print("T_Texture : Cannot find \"", build.path.c_str(), "\"\n", nullptr);
        }
    }
    deferredBuilds.clear();
    deferredBuilds.shrink_to_fit();
}

void T_Texture::Bind() const { glBindTexture(GL_TEXTURE_2D, glName); }

void T_Texture::LoadEditor(const char *path)
{
    if (!P_FileReadable(path)) {
        return;
    }
    image = LoadDibImage(path);
    if (image == nullptr) {
        return;
    }
    glName = UploadOpaque(*image, 4);
}
