#include "platform/scaling.h"

#include <cmath>

namespace {
// Tenths of the desktop a window may take.
constexpr int64_t WINDOW_SHARE_TENTHS = 9;

int32_t Clamp(int32_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : value;
}

bool SameSizes(const P_Scaling &a, const P_Scaling &b)
{
    return a.windowWidth == b.windowWidth && a.windowHeight == b.windowHeight &&
           a.drawableWidth == b.drawableWidth && a.drawableHeight == b.drawableHeight &&
           a.pictureWidth == b.pictureWidth && a.pictureHeight == b.pictureHeight;
}

// One axis of P_PictureFromWindow. Works on the middle of the window point, so that a point
// spanning two drawable pixels lands where most of it lies.
int32_t PictureFromWindowAxis(int32_t position, int32_t window, int32_t drawable, int32_t rectStart,
                              int32_t rectLength, int32_t picture)
{
    if (window <= 0 || rectLength <= 0 || picture <= 0) {
        return 0;
    }
    const double pixel = (double(position) + 0.5) * double(drawable) / double(window);
    const double scaled = floor((pixel - rectStart) * double(picture) / double(rectLength));
    if (scaled < 0.0) {
        return 0;
    }
    return scaled >= double(picture) ? picture - 1 : int32_t(scaled);
}

int32_t WindowFromPictureAxis(int32_t position, int32_t window, int32_t drawable, int32_t rectStart,
                              int32_t rectLength, int32_t picture)
{
    if (drawable <= 0 || picture <= 0) {
        return 0;
    }
    const int32_t clamped = Clamp(position, 0, picture - 1);
    const double pixel =
        double(rectStart) + (double(clamped) + 0.5) * double(rectLength) / double(picture);
    return int32_t(floor(pixel * double(window) / double(drawable)));
}
}  // namespace

P_Rect P_FitPicture(int32_t areaWidth, int32_t areaHeight, int32_t pictureWidth,
                    int32_t pictureHeight)
{
    if (areaWidth <= 0 || areaHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
        return P_Rect{0, 0, 0, 0};
    }
    int64_t width = areaWidth;
    int64_t height = areaHeight;
    // Cross-multiplied so that no rounding decides which side limits the picture.
    if (int64_t(areaWidth) * pictureHeight > int64_t(areaHeight) * pictureWidth) {
        width = int64_t(areaHeight) * pictureWidth / pictureHeight;
    } else {
        height = int64_t(areaWidth) * pictureHeight / pictureWidth;
    }
    return P_Rect{int32_t((areaWidth - width) / 2), int32_t((areaHeight - height) / 2),
                  int32_t(width), int32_t(height)};
}

void P_PictureFromWindow(const P_Scaling &scaling, int32_t x, int32_t y, int32_t *pictureX,
                         int32_t *pictureY)
{
    const P_Rect rect = P_FitPicture(scaling.drawableWidth, scaling.drawableHeight,
                                     scaling.pictureWidth, scaling.pictureHeight);
    *pictureX = PictureFromWindowAxis(x, scaling.windowWidth, scaling.drawableWidth, rect.x,
                                      rect.width, scaling.pictureWidth);
    *pictureY = PictureFromWindowAxis(y, scaling.windowHeight, scaling.drawableHeight, rect.y,
                                      rect.height, scaling.pictureHeight);
}

void P_WindowFromPicture(const P_Scaling &scaling, int32_t pictureX, int32_t pictureY, int32_t *x,
                         int32_t *y)
{
    const P_Rect rect = P_FitPicture(scaling.drawableWidth, scaling.drawableHeight,
                                     scaling.pictureWidth, scaling.pictureHeight);
    *x = WindowFromPictureAxis(pictureX, scaling.windowWidth, scaling.drawableWidth, rect.x,
                               rect.width, scaling.pictureWidth);
    *y = WindowFromPictureAxis(pictureY, scaling.windowHeight, scaling.drawableHeight, rect.y,
                               rect.height, scaling.pictureHeight);
}

P_Warp P_MakeWarp(const P_Scaling &scaling, int32_t pictureX, int32_t pictureY)
{
    P_Warp warp = {scaling, 0, 0, pictureX, pictureY};
    P_WindowFromPicture(scaling, pictureX, pictureY, &warp.x, &warp.y);
    return warp;
}

void P_PointerToPicture(const P_Scaling &scaling, const P_Warp *warp, int32_t x, int32_t y,
                        int32_t *pictureX, int32_t *pictureY)
{
    if (warp != nullptr && x == warp->x && y == warp->y && SameSizes(scaling, warp->scaling)) {
        *pictureX = warp->pictureX;
        *pictureY = warp->pictureY;
        return;
    }
    P_PictureFromWindow(scaling, x, y, pictureX, pictureY);
}

void P_WindowedSize(int32_t desktopWidth, int32_t desktopHeight, int32_t pictureWidth,
                    int32_t pictureHeight, int32_t *width, int32_t *height)
{
    int64_t factor = 1;
    if (pictureWidth > 0 && pictureHeight > 0) {
        const int64_t across = int64_t(desktopWidth) * WINDOW_SHARE_TENTHS / (10 * pictureWidth);
        const int64_t down = int64_t(desktopHeight) * WINDOW_SHARE_TENTHS / (10 * pictureHeight);
        factor = across < down ? across : down;
        factor = factor < 1 ? 1 : factor;
    }
    *width = int32_t(factor * pictureWidth);
    *height = int32_t(factor * pictureHeight);
}
