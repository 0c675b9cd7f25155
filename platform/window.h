#pragma once

#include "platform/events.h"

#include <cstdint>

// Starts the video system and remembers the window procedure. False (with the reason on
// stderr) when there is no display to show a window on.
bool P_RegisterClass(const char *className, P_WindowProc windowProc);

// Creates the hidden, borderless window and sends it P_WM_CREATE before returning.
bool P_CreateWindow(const char *title, int32_t x, int32_t y, int32_t width, int32_t height);

// Closes the window and the video system; safe to call twice.
void P_DestroyWindow();

// Creates the OpenGL context of the window and makes it current; false without one.
bool P_CreateGLContext();
void P_DeleteGLContext();

// Shows or hides the window. Showing sends P_WM_SIZE and P_WM_ACTIVATE.
void P_ShowWindow(bool show);

// Sends P_WM_PAINT at once, as updating a window does.
void P_UpdateWindow();

void P_MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height);

// Switches the screen to exactly width x height for full-screen use; false when the display has
// no such mode, which leaves the desktop as it was.
bool P_SetDisplayMode(int32_t width, int32_t height);

// Gives the desktop back its own mode.
void P_RestoreDisplayMode();

// Presents the back buffer and records the time of the frame for P_FrameDue.
void P_SwapBuffers();

// Called after each frame on the schedule, once its time is recorded: by P_SwapBuffers for a
// presented frame, and by P_SkipFrame for one the game ran without drawing, since it kept the
// pace all the same. Null for none. The game sets none; measuring tools use it to time frames.
void P_SetPresentHook(void (*hook)());

// The present hook, for the queue's P_SkipFrame.
void P_CallPresentHook();

void P_ShowCursor(bool show);

// The mouse pointer in window pixels, which are screen pixels as the window sits at (0, 0).
void P_GetCursorPos(int32_t *x, int32_t *y);
void P_SetCursorPos(int32_t x, int32_t y);

// While on, the desktop's screen saver stays away.
void P_SetScreenSaverRunning(bool on);

// Whether a Ctrl key is held now.
bool P_ControlHeld();

// A modal box with one OK button; written to stderr when no box can be shown.
void P_MessageBox(const char *text, const char *caption);
