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

// Button 1 is the left, 2 the right, 3 the middle. In play a button also acts as its key code
// (P_KEY_MOUSE1..3) in the bindings; on the menu it only clicks.
void MouseButtonDown(uint32_t button);
void MouseButtonUp(uint32_t button);

// Whether any of the three buttons is down, on the menu as in play.
bool AnyMouseButtonHeld();

// Whether the left button fires for player 2 in play, as it does at start. Binding or unbinding
// mouse1 turns this off: the button then acts through its binding alone, or does nothing.
void SetLeftButtonFires(bool fires);
bool LeftButtonFires();

// Reads the cursor; in play pulls it back to (400, 300) and keeps the movement for the aim.
void MouseLook();

// Aims and fires for player 2 in play; on the menu, clicks its buttons.
void ProcessInput();
