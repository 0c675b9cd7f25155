// ReadFrames over arbitrary .fp files, with and without transparency: every frame handed on has
// sane sides and all of its pixels.
#include "gfx/frame.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>

namespace {
void CheckFrame(void *context, uint32_t index, const FramePicture &picture)
{
    const uint8_t transparent = *static_cast<const uint8_t *>(context);
    if (index >= Frame::MAX_FRAMES || picture.width <= 0 || picture.height <= 0 ||
        picture.width > 4096 || picture.height > 4096) {
        abort();
    }
    const size_t stride = transparent ? 4 : 3;
    TouchBytes(picture.pixels, size_t(picture.width) * size_t(picture.height) * stride);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *const path = FuzzInputPath(data, size);
    for (uint8_t transparent = 0; transparent <= 1; ++transparent) {
        FILE *const file = fopen(path, "rb");
        if (file == nullptr) {
            abort();
        }
        int32_t lastHeader[6] = {};
        bool refused = false;
        const uint32_t count =
            ReadFrames(file, path, transparent, lastHeader, CheckFrame, &transparent, &refused);
        fclose(file);
        if (count > Frame::MAX_FRAMES) {
            abort();
        }
    }
    return 0;
}
