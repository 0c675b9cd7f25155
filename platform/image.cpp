#include "platform/image.h"

#include <climits>
#include <cstring>
#include <memory>

#include <SDL.h>

namespace {
struct SurfaceFree {
    void operator()(SDL_Surface *surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;
}  // namespace

bool P_DecodeBmp(const uint8_t *fileBytes, size_t size, std::vector<uint8_t> *rgbBottomUp,
                 int32_t *width, int32_t *height)
{
    if (size > size_t(INT_MAX)) {
        return false;
    }
    SDL_RWops *const stream = SDL_RWFromConstMem(fileBytes, int(size));
    if (stream == nullptr) {
        return false;
    }
    const SurfacePtr decoded(SDL_LoadBMP_RW(stream, 1));
    if (!decoded) {
        return false;
    }
    const SurfacePtr rgb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB24, 0));
    if (!rgb || rgb->w <= 0 || rgb->h <= 0) {
        return false;
    }
    const size_t rowBytes = size_t(rgb->w) * 3;
    rgbBottomUp->resize(rowBytes * size_t(rgb->h));
    if (SDL_MUSTLOCK(rgb.get())) {
        SDL_LockSurface(rgb.get());
    }
    // SDL keeps the top row first; OpenGL and our callers want the bottom row first.
    const auto *const rows = static_cast<const uint8_t *>(rgb->pixels);
    for (int row = 0; row < rgb->h; ++row) {
        memcpy(rgbBottomUp->data() + size_t(rgb->h - 1 - row) * rowBytes,
               rows + size_t(row) * size_t(rgb->pitch), rowBytes);
    }
    if (SDL_MUSTLOCK(rgb.get())) {
        SDL_UnlockSurface(rgb.get());
    }
    *width = rgb->w;
    *height = rgb->h;
    return true;
}
