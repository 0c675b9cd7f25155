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
    bool windowAfterFailedFullscreen;  // else the window stays as the failed request left it
    bool flushAfterSwap;
    // Asked when a frame is due: false runs advanceScene instead of drawing and presenting,
    // for a frame nobody would see change. Null always draws.
    bool (*frameWanted)();
    void (*advanceScene)();
};

// Chooses the program's variant and takes Alt+Enter for SetDisplayFullscreen; call before
// anything else here.
void InitDisplay(const DisplayVariant &variant);

// Full screen (the default) or a window. Only kept until SetVideoMode puts the window up, applied
// at once after that.
void SetDisplayFullscreen(bool fullscreen);
bool DisplayFullscreen();

// Creates the OpenGL context of the window and reports it.
void InitOpenGL();

// Sets the picture to the size of row `index` of the mode table and shows it full screen or in a
// window, scaled to fit with black bars; the display's own mode is never changed. Reports the
// mode as set unless no window could be put up at all.
void SetVideoMode(int32_t index);

// Viewport of width x height picture pixels showing the world from (-4, -3) to (4, 3).
void ResizeViewport(int32_t width, int32_t height);

// Clears, draws the scene and presents it scaled to the window, once the next frame is due,
// unless the variant wants no frame drawn: then only advances the scene. Does nothing after
// ReleaseOpenGL.
void PaintFrame();

// Releases the context and posts the quit message.
void ReleaseOpenGL();

// Advances to the next mode of the table (after the last comes the first) and switches to it.
int32_t NextVideoMode(int32_t index);

// A segment in world units, in the current colour; leaves texturing off.
void DrawLine(double x1, double y1, double x2, double y2, float width);
