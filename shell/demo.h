#pragma once

#include "shell/demo_file.h"

#include <cstdint>

// Demos: exact recordings of play. `record NAME` records into basev2/demos/NAME.dem from the
// next world frame on; `stoprecord`, showing the menu, `map` and quitting end it. `demo NAME`
// replays one at its recorded pace, `timedemo NAME` as fast as frames can be drawn, and then
// prints "N frames, S seconds: F fps". A replay ignores the players' input, ends paused on its
// last frame (or where Escape stopped it) and says so in one line; Escape then returns to the
// menu, and play goes on from where it was before the replay.
//
// A demo holds the map, the settings, the world at its start (players, shots, match), and for
// every frame its delta and the controls that reached the players. While a demo is recorded or
// replayed, the weapons' reload clock runs on the frames' deltas, so the replay reads the same
// clock the recording did.

// Registers record, stoprecord, demo and timedemo.
void RegisterDemoCommands();

// What a frame does about demos, from DemoFrameStart.
struct DemoFrame {
    uint32_t delta;  // the frame's delta: the recorded one while a demo replays
    bool hold;       // paused after a replay: show the held picture, move nothing
    bool last;       // the replay's last frame: draw the whole world, then DemoKeepView
};

// At the start of every frame, given its delta and whether the world is shown: records the
// frame, or applies the replayed frame's controls and gives its delta.
DemoFrame DemoFrameStart(uint32_t delta, bool worldShown);

// After the frame's world has moved: records or checks the world the frame left.
void DemoFrameEnd();

// Keeps the picture of the replay's last frame (the world drawn so far), and draws it while the
// replay is paused.
void DemoKeepView();
void DemoShowView();

// True while a demo replays or is paused on its end: the players' input is ignored.
bool DemoActive();

// True while a demo replays (not paused): every frame is drawn, none skipped.
bool DemoPlaying();

// Escape during a replay: stops it, paused. Returns true when the game is to go back to the menu:
// Escape on a paused replay, which has then put the world back as it was before it.
bool DemoEscape();

// A key goes down (`down`) or up for the match's winner screen: recorded with the controls.
void DemoNoteMatchKey(bool down, uint32_t key);

// The game ends: a recording is finished.
void StopDemos();

// The map is about to change: a recording ends before it.
void DemoMapChanging();

// For tests and the bench: starts recording into `path` from the next frame, or replaying the
// demo at `path`; false, after one console line, when it cannot.
bool StartRecording(const char *path);
bool StopRecording();
bool StartReplay(const char *path, bool timed);

// The world as demos keep it, taken from the game's globals and put back into them.
void ReadDemoWorld(DemoWorld *world);
void WriteDemoWorld(const DemoWorld &world);
DemoEnd ReadDemoEnd();
