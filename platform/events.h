#pragma once

#include <cstdint>

// Message numbers as the game's window procedures know them (the Windows values, so that
// C_KeyEvent can be handed 256 for a key-down and 258 for a character).
constexpr uint32_t P_WM_CREATE = 1;
constexpr uint32_t P_WM_DESTROY = 2;
constexpr uint32_t P_WM_SIZE = 5;
constexpr uint32_t P_WM_ACTIVATE = 6;
constexpr uint32_t P_WM_PAINT = 15;
constexpr uint32_t P_WM_CLOSE = 16;
constexpr uint32_t P_WM_SHOWWINDOW = 24;  // wParam 1: shown again or uncovered; 0: minimised
constexpr uint32_t P_WM_QUIT = 18;
constexpr uint32_t P_WM_KEYDOWN = 256;
constexpr uint32_t P_WM_KEYUP = 257;
constexpr uint32_t P_WM_CHAR = 258;
constexpr uint32_t P_WM_MOUSEMOVE = 512;
constexpr uint32_t P_WM_LBUTTONDOWN = 513;
constexpr uint32_t P_WM_LBUTTONUP = 514;
constexpr uint32_t P_WM_RBUTTONDOWN = 516;
constexpr uint32_t P_WM_RBUTTONUP = 517;
constexpr uint32_t P_WM_MBUTTONDOWN = 519;
constexpr uint32_t P_WM_MBUTTONUP = 520;
constexpr uint32_t P_WM_MOUSEWHEEL = 522;

struct P_Message {
    uint32_t message;
    uint32_t wParam;  // key code, character code, activation state, or wheel steps as int32_t
                      // (positive away from the user)
    int32_t x;        // mouse messages: picture pixels (see P_SetPictureSize)
    int32_t y;
};

using P_WindowProc = void (*)(const P_Message &message);

// True when a message waits, copied into `message` without taking it. Keeps a paint request
// pending for ever (nothing validates the window), but offers it only once a frame is due, and
// sleeps until then instead of spinning.
bool P_PeekMessage(P_Message *message);

// Takes the next message; false when it is the quit message.
bool P_GetMessage(P_Message *message);

// Hands a message to the window procedure given to P_RegisterClass.
void P_DispatchMessage(const P_Message &message);

// Sends a message to the window procedure at once, as the platform's own calls do.
void P_SendMessage(uint32_t message, uint32_t wParam);

// Whether the queue delivers P_WM_MOUSEMOVE and P_WM_MOUSEWHEEL; off at start. The game keeps it
// off: its loop runs a tick for every message, and moving the mouse must not speed it up. Moves
// that follow each other arrive as one, at the last position.
void P_SetPointerMessages(bool on);

// Called when Alt+Enter goes down, instead of queueing the key; null queues it like any key.
void P_SetFullscreenToggle(void (*toggle)());

// From now on the queue delivers only the quit message.
void P_PostQuitMessage();

// Minimum time between two presented frames, in milliseconds; 0 draws as fast as possible.
void P_SetFrameInterval(uint32_t milliseconds);
uint32_t P_FrameInterval();

// True when the last frame was presented at least the frame interval ago.
bool P_FrameDue();

// A due frame was run without being presented: the schedule moves on as if it had been.
void P_SkipFrame();
