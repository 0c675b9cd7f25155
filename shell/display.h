#pragma once

#include <cstdint>

struct VideoMode {
    const char *name;
    int32_t width;
    int32_t height;
    int32_t index;
};

constexpr int32_t VIDEO_MODE_COUNT = 8;
extern const VideoMode VIDEO_MODES[VIDEO_MODE_COUNT];

// What differs between the game's display and the editor's.
struct DisplayVariant {
    void (*drawScene)();  // draws one frame between the clear and the swap
    // Reports a line made of up to three pieces (later ones may be null); null stays silent.
    void (*report)(const char *first, const char *second, const char *third);
    bool restoreAfterFailedMode;
    bool flushAfterSwap;
    // Asked when a frame is due: false runs advanceScene instead of drawing and presenting,
    // for a frame nobody would see change. Null always draws.
    bool (*frameWanted)();
    void (*advanceScene)();
};

// Chooses the program's variant; call before anything else here.
void InitDisplay(const DisplayVariant &variant);

// Creates the OpenGL context of the window and reports it.
void InitOpenGL();

// Switches the screen to row `index` of the mode table and fits the window to it; a failed
// switch is reported and the window still gets the mode's size.
void SetVideoMode(int32_t index);

// Viewport of width x height pixels showing the world from (-4, -3) to (4, 3).
void ResizeViewport(int32_t width, int32_t height);

// Clears, draws the scene and presents it, once the next frame is due, unless the variant
// wants no frame drawn: then only advances the scene. Does nothing after ReleaseOpenGL.
void PaintFrame();

// Releases the context, posts the quit message and restores the desktop's mode.
void ReleaseOpenGL();

// Advances to the next mode of the table (after the last comes the first) and switches to it.
int32_t NextVideoMode(int32_t index);

// A segment in world units, in the current colour; leaves texturing off.
void DrawLine(double x1, double y1, double x2, double y2, float width);
