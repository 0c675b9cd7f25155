#include "gfx/frame.h"

#include "console/console.h"
#include "gfx/texture.h"
#include "platform/file.h"
#include "platform/gl.h"

#include <cstring>
#include <vector>

namespace {
constexpr size_t HEADER_SIZE = 24;
constexpr int32_t MAX_FRAME_SIDE = 4096;   // no sprite of ours comes close; larger means damage
constexpr uint8_t TRANSPARENT_LEVEL = 10;  // channels at or below this are "black"
constexpr float HALF_SIDE = 0.2f;

// What Frame::Load hands the uploads: the frame set, its file, and whether any upload failed.
struct Upload {
    Frame *frame;
    const char *path;
    bool failed;
};

void UploadFrame(void *context, uint32_t index, const FramePicture &picture)
{
    Upload *const upload = static_cast<Upload *>(context);
    const bool alpha = upload->frame->transparency != 0;
    // Opaque rows are width x 3 bytes without padding: alignment 4 would read past the buffer.
    const T_Pixels pixels = {alpha ? 4 : 3,  picture.width,
                             picture.height, uint32_t(alpha ? GL_RGBA : GL_RGB),
                             alpha ? 4 : 1,  picture.pixels};
    // A failed texture is left empty like a missing picture's entry: none is half made.
    if (!T_BuildTexture(&upload->frame->textures[index], pixels, upload->path)) {
        upload->failed = true;
    }
}

// Reads the pixels of one frame. Once the file ends, the remaining pixels repeat the last bytes
// read for this frame (zeros if none), which keeps a cut-off frame drawable.
void ReadPixels(FILE *file, size_t pixelCount, uint8_t transparent, uint8_t *out)
{
    uint8_t pixel[3] = {0, 0, 0};
    const size_t stride = transparent ? 4 : 3;
    bool ended = false;
    for (size_t i = 0; i < pixelCount; ++i) {
        if (!ended) {
            // A partial read still replaces the bytes it got.
            ended = fread(pixel, 1, sizeof pixel, file) < sizeof pixel;
        }
        memcpy(out, pixel, 3);
        if (transparent) {
            const bool dark = pixel[0] <= TRANSPARENT_LEVEL && pixel[1] <= TRANSPARENT_LEVEL &&
                              pixel[2] <= TRANSPARENT_LEVEL;
            out[3] = dark ? 0 : 255;
        }
        out += stride;
    }
}
}  // namespace

uint32_t ReadFrames(FILE *file, const char *path, uint8_t transparent, int32_t lastHeader[6],
                    FrameSink sink, void *context, bool *refused)
{
    *refused = false;
    uint32_t count = 0;
    uint8_t header[HEADER_SIZE];
    std::vector<uint8_t> pixels;
    // The textures table holds 256; a longer file keeps its first 256 frames.
    while (count < Frame::MAX_FRAMES && fread(header, 1, sizeof header, file) == sizeof header) {
        for (size_t i = 0; i < 6; ++i) {
            lastHeader[i] = int32_t(ReadLE32(header + 4 * i));
        }
        const int32_t width = lastHeader[0];
        const int32_t height = lastHeader[1];
        if (width <= 0 || height <= 0 || width > MAX_FRAME_SIDE || height > MAX_FRAME_SIDE) {
            C_Print("Warning: Frame : bad frame size in \"", path, "\"\n", nullptr);
            *refused = true;
            break;  // keep the frames already read
        }
        // Sized from the checked sides, not from the header's size field, which may lie.
        const size_t pixelCount = size_t(width) * size_t(height);
        pixels.resize(pixelCount * (transparent ? 4 : 3));
        ReadPixels(file, pixelCount, transparent, pixels.data());
        sink(context, count, FramePicture{pixels.data(), width, height});
        ++count;
    }
    return count;
}

FrameQuad FrameQuadAt(float x, float y, float sx, float sy, uint8_t facing)
{
    const float left = x - HALF_SIDE * sx;
    const float right = x + HALF_SIDE * sx;
    const float bottom = y - HALF_SIDE * sy;
    const float top = y + HALF_SIDE * sy;
    const float leftU = facing == 1 ? 0.0f : 1.0f;  // 1 shows the picture as stored, 0 mirrors it
    const float rightU = 1.0f - leftU;
    return FrameQuad{{left, right, right, left},
                     {bottom, bottom, top, top},
                     {leftU, rightU, rightU, leftU},
                     {0.0f, 0.0f, 1.0f, 1.0f}};
}

void Frame::Load(const char *path, uint8_t transparent)
{
    const FilePtr file(fopen(path, "rb"));
    if (!file) {
        C_Print("Warning: Frame : cannot open \"", path, "\"\n", nullptr);
        return;
    }
    transparency = transparent;
    Upload upload = {this, path, false};
    bool refused = false;
    frameCount =
        ReadFrames(file.get(), path, transparent, lastHeader, UploadFrame, &upload, &refused);
    // One line per file: a failed texture or a refused set replaces the success line.
    if (upload.failed) {
        C_Print("T_Texture : Cannot find \"", path, "\"\n", nullptr);
    } else if (!refused) {
        C_Print("Image: \"", path, "\" loaded succesfull.\n", nullptr);
    }
}

void Frame::SetRate(float framesPerSecond) { rate = framesPerSecond; }

void Frame::Advance(uint8_t newFacing, uint32_t elapsedMs)
{
    // Tested before adding, so a frame shows until more than one period has piled up.
    if (1000.0f / rate < accumulatedTime) {
        ++currentFrame;
        if (currentFrame >= frameCount) {
            currentFrame = 0;
        }
        accumulatedTime = 0.0f;
    }
    accumulatedTime += float(elapsedMs);
    facing = newFacing;
}

void Frame::Draw(float x, float y, float sx, float sy, uint8_t additive) const
{
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT | GL_LIGHTING_BIT);
    glEnable(GL_TEXTURE_2D);
    // Callers set currentFrame themselves; an index past the table draws untextured.
    glBindTexture(GL_TEXTURE_2D, currentFrame < MAX_FRAMES ? textures[currentFrame] : 0);
    glEnable(GL_BLEND);
    if (additive) {
        glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    const FrameQuad quad = FrameQuadAt(x, y, sx, sy, facing);
    glBegin(GL_QUADS);
    for (int corner = 0; corner < 4; ++corner) {
        glTexCoord2f(quad.u[corner], quad.v[corner]);
        glVertex2f(quad.x[corner], quad.y[corner]);
    }
    glEnd();
    glPopAttrib();
}
