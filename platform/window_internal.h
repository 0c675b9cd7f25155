#pragma once

#include "platform/events.h"

// Shared between the window and the message queue of the platform layer only.
P_WindowProc P_WindowProcedure();
bool P_WindowShown();
// Turns one pending SDL event (if any) into queued messages; false when there was none.
bool P_PumpOneEvent(int timeoutMilliseconds);
void P_ResetQueue();
void P_NoteFramePresented();
// From now on SIGINT and SIGTERM reach the window procedure as P_WM_DESTROY, so the program
// ends through its own shut-down; a second signal ends it at once.
void P_CatchStopSignals();
