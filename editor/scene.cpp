#include "editor/scene.h"

#include "editor/editor.h"
#include "editor/map_guard.h"
#include "gfx/font.h"
#include "platform/gl.h"
#include "platform/timer.h"
#include "world/map.h"
#include "world/world.h"

#include <cstdio>

T_Texture editorBricks[9];

namespace {
constexpr uint32_t STATUS_SHOWN_MS = 4000;
// The lines above the help line start near the left edge: they name the map file, which makes
// them longer than the room right of the help line's start.
constexpr int32_t STATUS_X = 10;

char statusText[128];
bool statusFailure = false;
uint32_t statusSince = 0;

// The cell's quad as the game draws it; also off the grid, where the cursor may stray.
void CellQuad(int32_t index)
{
    glBegin(GL_QUADS);
    for (const W_Vertex &corner : W_BrickQuad(index).corners) {
        glTexCoord2d(corner.u, corner.v);
        glVertex2d(corner.x, corner.y);
    }
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
        editorBricks[code].Bind();
        glEnable(GL_TEXTURE_2D);
        glColor3f(1.0f, 1.0f, 1.0f);
        CellQuad(index);
        glDisable(GL_TEXTURE_2D);
    }
}

void DrawCursor()
{
    const CellPosition corner = M_CellPosition(editor.cursorCell);
    if (HasPicture(editor.currentKind)) {
        editorBricks[editor.currentKind].Bind();
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    CellQuad(editor.cursorCell);
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

// The edges of every cell, dim enough for the bricks to stay readable.
void DrawGridLines()
{
    glColor3f(0.35f, 0.35f, 0.35f);
    glBegin(GL_LINES);
    for (int32_t column = 1; column < M_COLUMNS; ++column) {
        const double x = M_LEFT + column * M_CELL_WIDTH;
        glVertex2d(x, M_TOP);
        glVertex2d(x, M_TOP - M_ROWS * M_CELL_HEIGHT);
    }
    for (int32_t row = 1; row < M_ROWS; ++row) {
        const double y = M_TOP - row * M_CELL_HEIGHT;
        glVertex2d(M_LEFT, y);
        glVertex2d(M_LEFT + M_COLUMNS * M_CELL_WIDTH, y);
    }
    glEnd();
}

// Over the bottom rows of bricks a black shadow keeps the added lines readable.
void Shadowed()
{
    F_Shadow();
    F_SetShadowColor(0.0f, 0.0f, 0.0f);
}

// The map, a mark while it has unsaved cells, the cursor's cell counted from 1 as people count,
// and the kind that placing writes.
void DrawStatusLine()
{
    const char *const unsaved = HasUnsavedCells() ? " *" : "";
    const int32_t cell = editor.cursorCell;
    F_SetColor(0.85f, 0.85f, 0.85f);
    Shadowed();
    if (cell >= 0 && cell < M_CELLS) {
        F_Print(STATUS_X, 26, "%s%s   %d,%d   %s", editorMap.path, unsaved, int(cell / M_ROWS + 1),
                int(cell % M_ROWS + 1), KindName(editor.currentKind));
    } else {
        F_Print(STATUS_X, 26, "%s%s   off the grid   %s", editorMap.path, unsaved,
                KindName(editor.currentKind));
    }
}

void DrawStatus(uint32_t now)
{
    bool failure = false;
    const char *text = EditorStatus(now, &failure);
    if (text == nullptr) {
        return;
    }
    if (failure) {
        F_SetColor(1.0f, 0.3f, 0.3f);
    } else {
        F_SetColor(0.4f, 1.0f, 0.4f);
    }
    Shadowed();
    F_Print(STATUS_X, 42, "%s", text);
}

// Red like the help line, above the other lines so that all can show.
void DrawQuestion(uint32_t now)
{
    const char *question = MapGuardQuestion(now);
    if (question != nullptr) {
        F_SetColor(1.0f, 0.0f, 0.0f);
        Shadowed();
        F_Print(STATUS_X, 58, "%s", question);
    }
}
}  // namespace

void ShowEditorStatus(const char *text, bool failure, uint32_t now)
{
    snprintf(statusText, sizeof statusText, "%s", text);
    statusFailure = failure;
    statusSince = now;
}

const char *EditorStatus(uint32_t now, bool *failure)
{
    *failure = statusFailure;
    return statusText[0] == '\0' || now - statusSince > STATUS_SHOWN_MS ? nullptr : statusText;
}

void DrawEditorScene()
{
    const uint32_t now = P_Ticks();
    DrawCells();
    if (editor.gridLines) {
        DrawGridLines();
    }
    DrawCursor();
    F_SetColor(1.0f, 0.0f, 0.0f);
    F_Print(210, 10, "Please, read the file 'Help.txt'");
    DrawStatusLine();
    DrawStatus(now);
    DrawQuestion(now);
}
