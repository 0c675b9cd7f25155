#pragma once

#include <cstdint>

// Keeps one careless key from losing a map. Saving over a map file this session has neither
// loaded nor saved, and quitting with unsaved cells, both ask first with a red line and act on a
// second press; every save keeps the file it replaces as a backup. Times are P_Ticks
// milliseconds, handed in so that tests need no clock.

// How long a save question waits for its second press.
constexpr uint32_t SAVE_QUESTION_MS = 3000;

// Called for every key-down before the editor acts on it (`control`: Ctrl is held). False when
// the key is a save (F5, F9, Ctrl+S) or quit that must ask first, or a held key's repeat that
// cannot answer its own question; the key must then do nothing. Any other key withdraws an open
// question.
bool MapGuardAllows(uint32_t key, bool control, uint32_t now);

// A key-up: a question is answered only by a fresh press, not by its key's auto-repeat.
void MapGuardKeyUp(uint32_t key);

// F7: loads the map file over the grid as one change that can be undone, silent when it is
// missing; a loaded grid counts as saved. A named map loads only when whole (1200 bytes), else
// the status line says so and the grid stays.
void LoadGuardedMap(uint32_t now);

// The start of a named map's session: the same load, but as the starting point rather than a
// change. False when nothing was loaded.
bool OpenEditorMap(uint32_t now);

// Saves the grid to the map file after keeping the file's previous bytes as the backup, and
// reports on the status line. False leaves the map file as it was and the cells unsaved.
bool SaveGuardedMap(uint32_t now);

// True while a cell differs from what was last loaded or saved (the empty grid before either).
bool HasUnsavedCells();

// The red question showing at `now`, or nullptr.
const char *MapGuardQuestion(uint32_t now);

// A new session: nothing loaded, saved or asked, the empty grid counts as saved.
void ResetMapGuard();
