#pragma once

#include "world/map_name.h"

#include <cstdint>

// The map being edited, as paths relative to the editor's working directory (the data tree).
struct EditorMap {
    M_MapName name;
    bool named;  // given on the command line: loaded at start, and only whole maps load
    char path[sizeof "maps/" + M_NAME_MAX + sizeof M_MAP_SUFFIX];
    // Every save keeps the file it replaces here, one generation deep.
    char backupPath[sizeof path + sizeof ".bak"];
};

extern EditorMap editorMap;

// Chooses the map: `given` as the command line names it (with or without ".vsm"), or nullptr for
// the classic "maps/v2dm1.vsm". False, changing nothing, when `given` is no plain map name.
bool SetEditorMap(const char *given);

// What an input asks of the editor's shell.
enum class EditorRequest { NONE, QUIT, PLAY };

// Modifier flags of a key-down.
constexpr uint32_t EDITOR_CONTROL = 1;
constexpr uint32_t EDITOR_SHIFT = 2;

// Mouse buttons.
constexpr int32_t EDITOR_LEFT_BUTTON = 1;
constexpr int32_t EDITOR_RIGHT_BUTTON = 2;

struct EditorState {
    int32_t cursorCell;   // column-major index; may leave the grid
    int32_t currentKind;  // 1..7 bricks, 8 respawn point
    int32_t kindCount;
    bool gridLines;  // G shows the edges of the cells
};

extern EditorState editor;

// Back to the start: the classic map, cursor on cell 0, kind 1 of 8, no grid lines, nothing
// loaded, saved, asked or undoable.
void ResetEditor();

// A key-down by virtual-key code at `now` (P_Ticks milliseconds) with EDITOR_CONTROL and
// EDITOR_SHIFT `modifiers`. Cell edits go to the map grid and its history, F7 loads and F5 or
// Ctrl+S saves the map file, Ctrl+Z undoes, Ctrl+Y or Ctrl+Shift+Z redoes; quitting is left to
// the caller, and so is playing after F9 has saved. Saving over a map not loaded and quitting
// with unsaved cells first ask.
EditorRequest EditorKeyDown(uint32_t key, uint32_t modifiers, uint32_t now);

// A key-up by virtual-key code.
void EditorKeyUp(uint32_t key);

// A character: kind changes and clearing the cell under the cursor.
void EditorCharacter(uint32_t character);

// The cell under pixel (x, y) of the 800 x 600 picture, y counted from the top; -1 off the grid.
int32_t CellAtPixel(int32_t x, int32_t y);

// The pointer moved to pixel (x, y): the cursor follows it, and a held button paints every cell
// on the way. The first position reported only tells where the pointer rests, so the cursor
// starts on cell 0 whatever lies under the pointer.
void EditorMouseMove(int32_t x, int32_t y);

// A button pressed (`down`) or let go at pixel (x, y): the left one places the current kind, the
// right one clears. A press, its drag and its release are one change.
void EditorMouseButton(int32_t button, bool down, int32_t x, int32_t y);

// Wheel steps, positive away from the user: each is one k (next kind), or one m when negative.
void EditorMouseWheel(int32_t steps);

// The window lost the keyboard and mouse: a drag ends here, as its release may never come.
void EditorFocusLost();

// The name of kind `kind` (1..8), as the status line shows it; "?" for others.
const char *KindName(int32_t kind);
