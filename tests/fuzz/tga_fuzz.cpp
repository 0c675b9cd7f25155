// F_DecodeTga over arbitrary files: F_LOADED with a picture of exactly the sides and depth it
// reports, or one of the failure codes with the picture untouched.
#include "gfx/font.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    F_TgaImage image = {};
    const int32_t status = F_DecodeTga(FuzzInputPath(data, size), &image);
    if (status != F_LOADED) {
        if (status != F_BAD_TYPE && status != F_BAD_SIDE && status != F_BAD_DEPTH &&
            status != F_SHORT_PIXELS) {
            abort();
        }
        if (image.width != 0 || !image.pixels.empty()) {
            abort();
        }
        return 0;
    }
    const bool sideOk =
        image.width >= 2 && image.width <= 512 && image.height >= 2 && image.height <= 512;
    const bool depthOk = image.components == 1 || image.components == 3 || image.components == 4;
    if (!sideOk || !depthOk ||
        image.pixels.size() !=
            size_t(image.width) * size_t(image.height) * size_t(image.components)) {
        abort();
    }
    return 0;
}
