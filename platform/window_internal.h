#pragma once

#include "platform/events.h"

#include <cstdint>

// Shared between the window and the message queue of the platform layer only.
P_WindowProc P_WindowProcedure();
bool P_WindowShown();
// Turns one pending SDL event (if any) into queued messages; false when there was none.
bool P_PumpOneEvent(int timeoutMilliseconds);
void P_ResetQueue();
void P_NoteFramePresented();
// A pointer position in window points to picture pixels, as P_GetCursorPos reports it.
void P_MapPointer(int32_t x, int32_t y, int32_t *pictureX, int32_t *pictureY);
// From now on SIGINT and SIGTERM reach the window procedure as P_WM_DESTROY, so the program
// ends through its own shut-down; a second signal ends it at once.
void P_CatchStopSignals();
