#pragma once

#include <cstdint>

constexpr char EDITOR_MAP_PATH[] = "maps/v2dm1.vsm";
// Every save keeps the file it replaces here, one generation deep.
constexpr char EDITOR_BACKUP_PATH[] = "maps/v2dm1.vsm.bak";

// What a key asks of the editor's shell.
enum class EditorRequest { NONE, QUIT };

struct EditorState {
    int32_t cursorCell;   // column-major index; may leave the grid
    int32_t currentKind;  // 1..7 bricks, 8 respawn point
    int32_t kindCount;
};

extern EditorState editor;

// Back to the start: cursor on cell 0, kind 1 of 8, nothing loaded, saved or asked.
void ResetEditor();

// A key-down by virtual-key code at `now` (P_Ticks milliseconds); `control` tells whether Ctrl
// is held. Cell edits go to the map grid, F7 loads and F5 or Ctrl+S saves the map file; quitting
// is left to the caller. Saving over a map not loaded and quitting with unsaved cells first ask.
EditorRequest EditorKeyDown(uint32_t key, bool control, uint32_t now);

// A key-up by virtual-key code.
void EditorKeyUp(uint32_t key);

// A character: kind changes and clearing the cell under the cursor.
void EditorCharacter(uint32_t character);
