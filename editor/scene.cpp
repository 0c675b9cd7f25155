#include "editor/scene.h"

#include "editor/editor.h"
#include "gfx/font.h"
#include "platform/gl.h"
#include "platform/timer.h"
#include "world/map.h"

#include <cstdio>

T_Texture editorBricks[9];

namespace {
constexpr uint32_t STATUS_SHOWN_MS = 4000;

char statusText[128];
bool statusFailure = false;
uint32_t statusSince = 0;

void CellQuad(double left, double top)
{
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(left, top - M_CELL_HEIGHT);
    glTexCoord2d(0.0, 1.0);
    glVertex2d(left, top);
    glTexCoord2d(1.0, 1.0);
    glVertex2d(left + M_CELL_WIDTH, top);
    glTexCoord2d(1.0, 0.0);
    glVertex2d(left + M_CELL_WIDTH, top - M_CELL_HEIGHT);
    glEnd();
}

bool HasPicture(int32_t code) { return code >= 1 && code <= 8; }

void DrawCells()
{
    const int16_t *cells = M_GetCells();
    if (cells == nullptr) {
        return;
    }
    for (int32_t index = 0; index < M_CELLS; ++index) {
        const int16_t code = cells[index];
        // Codes a damaged file may hold have no picture; they stay empty here as in the game.
        if (!HasPicture(code)) {
            continue;
        }
        const CellCorner corner = EditorCellCorner(index);
        editorBricks[code].Bind();
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        CellQuad(corner.left, corner.top);
        glDisable(GL_TEXTURE_2D);
    }
}

void DrawCursor()
{
    const CellCorner corner = EditorCellCorner(editor.cursorCell);
    if (HasPicture(editor.currentKind)) {
        editorBricks[editor.currentKind].Bind();
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    CellQuad(corner.left, corner.top);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LINE_SMOOTH);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    glVertex2d(corner.left, corner.top);
    glVertex2d(corner.left + M_CELL_WIDTH, corner.top - M_CELL_HEIGHT);
    glVertex2d(corner.left, corner.top - M_CELL_HEIGHT);
    glVertex2d(corner.left + M_CELL_WIDTH, corner.top);
    glEnd();
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
}

void DrawStatus()
{
    if (statusText[0] == '\0' || P_Ticks() - statusSince > STATUS_SHOWN_MS) {
        return;
    }
    if (statusFailure) {
        F_SetColor(1.0f, 0.3f, 0.3f);
    } else {
        F_SetColor(0.4f, 1.0f, 0.4f);
    }
    F_Print(210, 26, "%s", statusText);
}
}  // namespace

CellCorner EditorCellCorner(int32_t index)
{
    const int32_t column = index / M_ROWS;
    const int32_t row = index - column * M_ROWS;
    return CellCorner{column * M_CELL_WIDTH + M_LEFT, M_TOP - row * M_CELL_HEIGHT};
}

void ShowEditorStatus(const char *text, bool failure)
{
    snprintf(statusText, sizeof statusText, "%s", text);
    statusFailure = failure;
    statusSince = P_Ticks();
}

void DrawEditorScene()
{
    DrawCells();
    DrawCursor();
    F_SetColor(1.0f, 0.0f, 0.0f);
    F_Print(210, 10, "Please, read the file 'Help.txt'");
    DrawStatus();
}
