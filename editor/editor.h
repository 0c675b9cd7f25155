#pragma once

#include <cstdint>

constexpr char EDITOR_MAP_PATH[] = "maps/v2dm1.vsm";

// What a key or character asks of the editor's shell.
enum class EditorRequest { NONE, QUIT, SAVE };

struct EditorState {
    int32_t cursorCell;   // column-major index; may leave the grid
    int32_t currentKind;  // 1..7 bricks, 8 respawn point
    int32_t kindCount;
};

extern EditorState editor;

// Back to the start: cursor on cell 0, kind 1 of 8.
void ResetEditor();

// A key-down by virtual-key code; `control` tells whether Ctrl is held. Cell edits go to the
// map grid; quitting and saving are left to the caller.
EditorRequest EditorKeyDown(uint32_t key, bool control);

// A character: kind changes and clearing the cell under the cursor.
void EditorCharacter(uint32_t character);
