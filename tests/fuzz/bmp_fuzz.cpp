// LoadDibImage over arbitrary files: a picture comes back whole, or nullptr after one box.
#include "gfx/bmp.h"
#include "platform/window.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>
#include <cstring>

namespace {
int boxesShown = 0;
}  // namespace

// Stands in for the platform's box, which starts a helper program for every failure and would
// hold the fuzzer to a few hundred runs a second. The text must still be a whole string.
void P_MessageBox(const char *text, const char *caption)
{
    if (strlen(text) == 0 || strcmp(caption, "Error") != 0) {
        abort();
    }
    ++boxesShown;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    boxesShown = 0;
    DibImage *const image = LoadDibImage(FuzzInputPath(data, size));
    if (image == nullptr) {
        if (boxesShown != 1) {
            abort();
        }
        return 0;
    }
    if (boxesShown != 0 || image->width <= 0 || image->height <= 0) {
        abort();
    }
    TouchBytes(image->pixels, size_t(image->width) * size_t(image->height) * 3);
    FreeDibImage(image);
    return 0;
}
