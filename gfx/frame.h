#pragma once

#include <cstdint>
#include <cstdio>

// One decoded frame of an .fp file: width x height pixels, RGBA with transparency and RGB
// without, the bottom row first.
struct FramePicture {
    const uint8_t *pixels;
    int32_t width;
    int32_t height;
};

// Receives frame `index` while an .fp file is read; the pixels last only for the call.
using FrameSink = void (*)(void *context, uint32_t index, const FramePicture &picture);

// An animation of up to 256 textures from one .fp file, played at `rate` frames per second.
// Objects start zeroed; textures are never deleted.
class Frame {
public:
    static constexpr uint32_t MAX_FRAMES = 256;

    uint32_t textures[MAX_FRAMES];
    float rate;             // frames per second
    float accumulatedTime;  // milliseconds since the current frame was entered
    uint32_t frameCount;
    uint8_t facing;        // 1 as stored, 0 mirrored left to right
    uint8_t transparency;  // 1: near-black pixels were made transparent
    int32_t lastHeader[6];
    uint32_t currentFrame;

    // Reads every frame of `path` into textures, up to 256; with `transparent` pixels whose three
    // bytes are all 10 or less get alpha 0. Reports on the console only: the success line, or
    // instead the warning for a bad frame or a texture that could not be built (its entry stays
    // 0). Needs the GL context.
    void Load(const char *path, uint8_t transparent);

    void SetRate(float framesPerSecond);

    // Moves the clock on by `elapsedMs`; at most one frame change per call, wrapping to frame 0.
    void Advance(uint8_t newFacing, uint32_t elapsedMs);

    // Draws the current frame as a 0.4 sx by 0.4 sy square centred on (x, y) in world units,
    // blended additively when `additive` is set.
    void Draw(float x, float y, float sx, float sy, uint8_t additive) const;
};

// Reads the frames of an open .fp file in order, at most 256, storing each header in
// `lastHeader` and handing each frame to `sink`. A header with a side that is not positive or
// above 4096 prints a warning naming `path`, sets `*refused` and ends the reading. Returns the
// frames read.
uint32_t ReadFrames(FILE *file, const char *path, uint8_t transparent, int32_t lastHeader[6],
                    FrameSink sink, void *context, bool *refused);

// The quad Frame::Draw draws: four corners (x, y) and texture coordinates (u, v) in order.
struct FrameQuad {
    float x[4];
    float y[4];
    float u[4];
    float v[4];
};
FrameQuad FrameQuadAt(float x, float y, float sx, float sy, uint8_t facing);
