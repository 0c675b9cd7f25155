// T_ReadColourKeyed over arbitrary files: a buffer of exactly width x height RGBA pixels with
// black, and only black, transparent, or an empty one.
#include "gfx/texture.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int32_t width = -1;
    int32_t height = -1;
    const std::vector<uint8_t> rgba = T_ReadColourKeyed(FuzzInputPath(data, size), &width, &height);
    if (rgba.empty()) {
        return 0;
    }
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4) {
        abort();
    }
    for (size_t at = 0; at < rgba.size(); at += 4) {
        const bool black = (rgba[at] | rgba[at + 1] | rgba[at + 2]) == 0;
        if (rgba[at + 3] != (black ? 0 : 255)) {
            abort();
        }
    }
    return 0;
}
