#pragma once

#include <cstdint>

// Every change made to the grid in this session, for undo and redo. A change is what one action
// did to any number of cells: a key's edit, a mouse drag from press to release, a load. Making a
// change drops the changes undone before it. The history grows with edits, never per frame.

// Opens a change; calls nest, and the change closes with the outermost EndChange.
void BeginChange();

// Sets cell `index` (outside 0..599: nothing) to `code` and records it in the open change, or
// in a change of its own when none is open.
void EditCell(int32_t index, int16_t code);

// Closes the change; one that left every cell as it found it is not kept.
void EndChange();

// Records as one change what happened to the grid since `before` (M_CELLS codes) was copied:
// a load, which writes the cells itself.
void RecordGridChange(const int16_t *before);

// Puts back the cells of the last change still made; false when there is none. A change still
// open is closed first.
bool UndoChange();

// Makes the last undone change again; false when there is none. A change still open is closed
// first.
bool RedoChange();

// A new session: no changes.
void ResetHistory();
