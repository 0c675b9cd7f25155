#pragma once

#include "gameplay/player.h"

#include <cstdint>

// Frames drawn only when the picture changes. When the next frame would show exactly what the
// screen shows already, the game runs that frame without drawing it: every clock, animation
// phase and frame delta moves on as if it had been drawn, so the next drawn frame is the one a
// game drawing every frame would show then. Nothing is drawn while the window is out of focus
// either.

// What decides whether the next frame would look like the last one shown.
struct StillView {
    bool changed;          // a message, or a frame out of focus, since the last frame shown
    bool cursorMoved;      // the pointer is not where the last frame shown drew it
    bool keysHeld;         // a key binding is down: its action runs every tick
    bool mouseButtonHeld;  // fires, or clicks the menu, every tick
    bool padsActive;       // a pad is pushed or a button held
    bool menuVisible;
    bool buttonHovered;  // the pointer on a menu button, which pulses
    bool consoleParked;  // closed and slid out of view; an open console always moves
    bool worldAtRest;    // no shot, both players standing on the floor, no match running
};

// Whether the next frame would be the same picture as the last one shown.
bool FrameIsStill(const StillView &view);

// A player the next movement step leaves exactly as it is, with `gravity` pulling: standing on
// the floor line, not walking, not jumping, its walking animation on its standing frame.
bool PlayerAtRest(const Player &player, float gravity);

// The shell's side: a frame was shown (with the pointer at the given window pixel), or something
// happened that may change the picture.
void NoteFrameShown(int32_t cursorX, int32_t cursorY);
void NoteFrameChange();

// Fills in the view from the game's state, for the pointer now at (cursorX, cursorY).
StillView ReadStillView(int32_t cursorX, int32_t cursorY, bool mouseButtonHeld);
