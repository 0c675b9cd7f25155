#pragma once

#include <cstdint>

// The arithmetic of showing a fixed-size picture in a window of any size: the picture keeps its
// shape, is scaled as large as the window allows and centred, with black bars around it. No SDL,
// no OpenGL: the window and display code feed it sizes.

struct P_Rect {
    int32_t x;  // from the left of the area
    int32_t y;  // from the top of the area
    int32_t width;
    int32_t height;
};

// The sizes one mapping depends on: the window in points (as the pointer is reported), its
// drawable in pixels (larger on a high-density screen) and the picture in its own pixels.
struct P_Scaling {
    int32_t windowWidth;
    int32_t windowHeight;
    int32_t drawableWidth;
    int32_t drawableHeight;
    int32_t pictureWidth;
    int32_t pictureHeight;
};

// The largest rectangle of the picture's shape inside an area of areaWidth x areaHeight, centred
// (an odd pixel left over goes to the right or bottom bar). Empty when either size is not
// positive.
P_Rect P_FitPicture(int32_t areaWidth, int32_t areaHeight, int32_t pictureWidth,
                    int32_t pictureHeight);

// A pointer position in window points to the picture pixel under it; a pointer on a bar or
// outside the window is clamped to the nearest edge pixel of the picture.
void P_PictureFromWindow(const P_Scaling &scaling, int32_t x, int32_t y, int32_t *pictureX,
                         int32_t *pictureY);

// The window point over the middle of a picture pixel. While a window point spans no more than a
// picture pixel, P_PictureFromWindow gives the same picture pixel back.
void P_WindowFromPicture(const P_Scaling &scaling, int32_t pictureX, int32_t pictureY, int32_t *x,
                         int32_t *y);

// Where the pointer was last put: the window point it went to for a picture pixel, under which
// sizes.
struct P_Warp {
    P_Scaling scaling;
    int32_t x;
    int32_t y;
    int32_t pictureX;
    int32_t pictureY;
};

// The window point to put the pointer at for a picture pixel (P_WindowFromPicture), remembered.
P_Warp P_MakeWarp(const P_Scaling &scaling, int32_t pictureX, int32_t pictureY);

// P_PictureFromWindow, except that a pointer still where `warp` (when not null) put it, under the
// same sizes, reads as the picture pixel it was put at: in a window smaller than the picture one
// point covers several pixels, and the game, which puts the pointer back at a fixed pixel and
// takes any other reading as movement, would see the pointer move on its own.
void P_PointerToPicture(const P_Scaling &scaling, const P_Warp *warp, int32_t x, int32_t y,
                        int32_t *pictureX, int32_t *pictureY);

// The size of the game's window when it is not full screen: the largest whole multiple of the
// picture that fits 90 % of the desktop, and never less than the picture itself.
void P_WindowedSize(int32_t desktopWidth, int32_t desktopHeight, int32_t pictureWidth,
                    int32_t pictureHeight, int32_t *width, int32_t *height);
