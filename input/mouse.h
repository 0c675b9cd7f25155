#pragma once

#include <cstdint>

// What mouse look and the per-tick input ask of the shell.
struct MouseHooks {
    bool (*menuVisible)();
    float (*aimDivisor)();  // pixels of vertical movement per degree of aim
    void (*clickMenu)();    // the left button is down while the menu shows
};

// The cursor in window pixels, as mouse look last read it.
extern int32_t cursorPixel[2];

void SetMouseHooks(const MouseHooks &hooks);

// Button 1 is the left, 2 the right; numbers above 2 are ignored.
void MouseButtonDown(uint32_t button);
void MouseButtonUp(uint32_t button);

// Reads the cursor; in play pulls it back to (400, 300) and keeps the movement for the aim.
void MouseLook();

// Aims and fires for player 2 in play; on the menu, clicks its buttons.
void ProcessInput();
