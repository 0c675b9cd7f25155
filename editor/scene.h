#pragma once

#include "gfx/texture.h"

#include <cstdint>

// The editor's brick pictures, slot = cell code (slot 0 unused).
extern T_Texture editorBricks[9];

// Shows `text` for a few seconds from `now` (P_Ticks milliseconds) above the help line (green,
// or red when `failure`).
void ShowEditorStatus(const char *text, bool failure, uint32_t now);

// The status text showing at `now`, or nullptr; `failure` tells its colour.
const char *EditorStatus(uint32_t now, bool *failure);

// Cells with their pictures, grid lines when shown, the cursor preview crossed by a white X, the
// help line; above it the status line (map, cursor cell, kind), the result of the last save and
// the red question of a key that waits for its second press.
void DrawEditorScene();
