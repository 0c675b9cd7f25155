#pragma once

#include <cstdint>

struct WorldPoint {
    double x;
    double y;
};

// The game's end: saves the log, releases the display, sound, console and map, and posts the
// quit message. Further calls do nothing.
void Shutdown();

// Milliseconds since the previous call (unsigned, so a timer wrap still gives a small number).
uint32_t FrameDelta();

// Window pixels to world units, as on an 800 x 600 screen whatever the video mode.
WorldPoint CursorToWorld(int32_t x, int32_t y);

// Composes one frame: world or menu, the console, the credit lines.
void DrawFrame();

// The program: opens the window, runs the start-up and the main loop. 1 when the game ended
// normally, 2 when no window could be made. `extendStartUp`, when given, runs as the last step
// of the start-up (test builds register their probes there).
int WinMain(void (*extendStartUp)() = nullptr);
