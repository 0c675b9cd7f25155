#pragma once

#include "gfx/texture.h"

#include <cstdint>

// The editor's brick pictures, slot = cell code (slot 0 unused).
extern T_Texture editorBricks[9];

// Shows `text` for a few seconds below the help line (green, or red when `failure`).
void ShowEditorStatus(const char *text, bool failure);

// Cells with their pictures, the cursor preview crossed by a white X, the help line.
void DrawEditorScene();
