// F_LayoutText over arbitrary text and style, as F_Print calls it: the first 17 bytes give the
// size, pen position, viewport edge and shadow, the rest is the text (cut to F_Print's buffer).
#include "gfx/font.h"
#include "platform/file.h"
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
constexpr size_t SETTINGS_SIZE = 17;
F_Quad quads[F_MAX_QUADS];
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < SETTINGS_SIZE) {
        return 0;
    }
    F_Style style = F_CurrentStyle();
    style.size = int32_t(ReadLE32(data));
    const auto x = int32_t(ReadLE32(data + 4));
    const auto y = int32_t(ReadLE32(data + 8));
    const auto viewportRight = int32_t(ReadLE32(data + 12));
    style.shadow = (data[16] & 1) != 0;

    char text[F_TEXT_SIZE] = {};
    const size_t length = std::min(size - SETTINGS_SIZE, sizeof text - 1);
    memcpy(text, data + SETTINGS_SIZE, length);

    F_Box box = {};
    const int32_t count = F_LayoutText(text, style, x, y, viewportRight, quads, F_MAX_QUADS, &box);
    if (count < 0 || count > F_MAX_QUADS || box.x != x) {
        abort();
    }
    for (int32_t i = 0; i < count; ++i) {
        if (quads[i].size != style.size) {
            abort();
        }
    }
    return 0;
}
