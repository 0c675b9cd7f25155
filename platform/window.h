#pragma once

#include "platform/events.h"

#include <cstdint>

// Starts the video system and remembers the window procedure. False (with the reason on
// stderr) when there is no display to show a window on.
bool P_RegisterClass(const char *className, P_WindowProc windowProc);

// Creates the hidden window and sends it P_WM_CREATE before returning.
bool P_CreateWindow(const char *title, int32_t x, int32_t y, int32_t width, int32_t height);

// Closes the window and the video system; safe to call twice.
void P_DestroyWindow();

// Creates the OpenGL context of the window and makes it current; false without one.
bool P_CreateGLContext();
void P_DeleteGLContext();

// Whether the current context can draw into framebuffer objects and blit between them.
bool P_HasFramebuffers();

// Shows or hides the window. Showing sends P_WM_SIZE and P_WM_ACTIVATE.
void P_ShowWindow(bool show);

// Sends P_WM_PAINT at once, as updating a window does.
void P_UpdateWindow();

// The size of the picture the program draws, in its own pixels. From now on it is shown scaled
// to fit the window, keeping its shape, and pointer positions are given in its pixels.
void P_SetPictureSize(int32_t width, int32_t height);

// Full screen at the desktop's own size (the display's mode never changes), or a resizable window
// of the largest whole multiple of the picture that fits 90 % of the desktop, centred. False
// when the window could not be put so.
bool P_SetFullscreen(bool fullscreen);

// The window's drawable in pixels, which on a high-density screen outnumber the window's points.
void P_GetDrawableSize(int32_t *width, int32_t *height);

// Presents the back buffer and records the time of the frame for P_FrameDue.
void P_SwapBuffers();

// Called after each frame on the schedule, once its time is recorded: by P_SwapBuffers for a
// presented frame, and by P_SkipFrame for one the game ran without drawing, since it kept the
// pace all the same. Null for none. The game sets none; measuring tools use it to time frames.
void P_SetPresentHook(void (*hook)());

// The present hook, for the queue's P_SkipFrame.
void P_CallPresentHook();

void P_ShowCursor(bool show);

// The mouse pointer in picture pixels (0 to the picture's width or height - 1): over a bar it reads
// as the nearest edge of the picture. Before P_SetPictureSize, window points.
void P_GetCursorPos(int32_t *x, int32_t *y);
// Puts the pointer over the middle of a picture pixel.
void P_SetCursorPos(int32_t x, int32_t y);

// While on, the desktop's screen saver stays away.
void P_SetScreenSaverRunning(bool on);

// Whether a Ctrl key is held now.
bool P_ControlHeld();

// A modal box with one OK button; written to stderr when no box can be shown.
void P_MessageBox(const char *text, const char *caption);
