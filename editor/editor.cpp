#include "editor/editor.h"

#include "editor/history.h"
#include "editor/map_guard.h"
#include "editor/scene.h"
#include "platform/keys.h"
#include "world/map.h"

#include <cstdio>
#include <cstdlib>

EditorState editor = {0, 1, 8, false};
EditorMap editorMap;

namespace {
constexpr char MAPS_FOLDER[] = "maps/";
constexpr M_MapName CLASSIC_MAP = {"v2dm1"};
// The picture the pointer's pixels belong to: the grid fills it exactly.
constexpr int32_t PICTURE_WIDTH = 800;
constexpr int32_t PICTURE_HEIGHT = 600;

constexpr const char *KIND_NAMES[] = {
    "clay brick",  "grey stone",   "mossy stone", "metal plate",
    "wood planks", "blue crystal", "rusty grate", "respawn point",
};

// The pointer as the mouse messages left it.
bool pointerKnown = false;
int32_t pointerX = 0;
int32_t pointerY = 0;
bool leftHeld = false;
bool rightHeld = false;
int32_t paintingButton = 0;  // the held button that paints; 0 while no drag is open
int32_t lastPainted = -1;    // the cell the drag painted last; -1 after leaving the grid

void NextKind()
{
    editor.currentKind = editor.currentKind == editor.kindCount ? 1 : editor.currentKind + 1;
}

void PreviousKind()
{
    editor.currentKind = editor.currentKind == 1 ? editor.kindCount : editor.currentKind - 1;
}

void UseMap(const M_MapName &name, bool named)
{
    editorMap.name = name;
    editorMap.named = named;
    M_MapPath(MAPS_FOLDER, name, editorMap.path, sizeof editorMap.path);
    snprintf(editorMap.backupPath, sizeof editorMap.backupPath, "%s.bak", editorMap.path);
}

void PaintCell(int32_t cell)
{
    EditCell(cell, paintingButton == EDITOR_LEFT_BUTTON ? int16_t(editor.currentKind) : M_EMPTY);
}

// Paints the cells on the straight way from the last painted cell to `cell`, so that a fast
// drag, whose moves arrive merged, leaves no gaps.
void PaintTo(int32_t cell)
{
    if (lastPainted < 0) {
        PaintCell(cell);
        lastPainted = cell;
        return;
    }
    const int32_t fromColumn = lastPainted / M_ROWS;
    const int32_t fromRow = lastPainted % M_ROWS;
    const int32_t columns = cell / M_ROWS - fromColumn;
    const int32_t rows = cell % M_ROWS - fromRow;
    const int32_t steps = abs(columns) > abs(rows) ? abs(columns) : abs(rows);
    for (int32_t step = 1; step <= steps; ++step) {
        // Rounded to the nearest cell, halves away from the start.
        const int32_t column =
            fromColumn + (2 * columns * step + (columns < 0 ? -steps : steps)) / (2 * steps);
        const int32_t row = fromRow + (2 * rows * step + (rows < 0 ? -steps : steps)) / (2 * steps);
        PaintCell(column * M_ROWS + row);
    }
    lastPainted = cell;
}

void EndDrag()
{
    if (paintingButton != 0) {
        EndChange();
    }
    paintingButton = 0;
    lastPainted = -1;
}

// Undo and redo in the middle of a drag end it: the rest of it would paint into a change
// already undone or redone. Its button paints again once pressed again.
void CancelDrag()
{
    EndDrag();
    leftHeld = false;
    rightHeld = false;
}

void Undo(uint32_t now)
{
    CancelDrag();
    if (!UndoChange()) {
        ShowEditorStatus("Nothing to undo", false, now);
    }
}

void Redo(uint32_t now)
{
    CancelDrag();
    if (!RedoChange()) {
        ShowEditorStatus("Nothing to redo", false, now);
    }
}
}  // namespace

bool SetEditorMap(const char *given)
{
    if (given == nullptr) {
        UseMap(CLASSIC_MAP, false);
        return true;
    }
    M_MapName name;
    if (!M_CheckMapName(given, &name)) {
        return false;
    }
    UseMap(name, true);
    return true;
}

void ResetEditor()
{
    editor = EditorState{0, 1, 8, false};
    SetEditorMap(nullptr);
    ResetMapGuard();
    ResetHistory();
    pointerKnown = false;
    leftHeld = false;
    rightHeld = false;
    paintingButton = 0;
    lastPainted = -1;
}

EditorRequest EditorKeyDown(uint32_t key, uint32_t modifiers, uint32_t now)
{
    const bool control = (modifiers & EDITOR_CONTROL) != 0;
    if (!MapGuardAllows(key, control, now)) {
        return EditorRequest::NONE;  // a key that could lose a map waits for its second press
    }
    // Moving is plain index arithmetic: up from row 0 lands on row 29 of the column to the left.
    switch (key) {
    case P_KEY_ESCAPE:
        return EditorRequest::QUIT;
    case P_KEY_RIGHT:
        editor.cursorCell += M_ROWS;
        break;
    case P_KEY_LEFT:
        editor.cursorCell -= M_ROWS;
        break;
    case P_KEY_UP:
        editor.cursorCell -= 1;
        break;
    case P_KEY_DOWN:
        editor.cursorCell += 1;
        break;
    case P_KEY_SPACE:
    case P_KEY_ENTER:
        EditCell(editor.cursorCell, int16_t(editor.currentKind));  // ignored off the grid
        break;
    case P_KEY_F5:
        SaveGuardedMap(now);
        break;
    case P_KEY_F9:
        return SaveGuardedMap(now) ? EditorRequest::PLAY : EditorRequest::NONE;
    case 'S':
        if (control) {
            SaveGuardedMap(now);
        }
        break;
    case 'Z':
        if (control && (modifiers & EDITOR_SHIFT) != 0) {
            Redo(now);
        } else if (control) {
            Undo(now);
        }
        break;
    case 'Y':
        if (control) {
            Redo(now);
        }
        break;
    case 'G':
        if (!control) {
            editor.gridLines = !editor.gridLines;
        }
        break;
    case P_KEY_F7:
        LoadGuardedMap(now);
        break;
    default:
        break;
    }
    return EditorRequest::NONE;
}

void EditorKeyUp(uint32_t key) { MapGuardKeyUp(key); }

void EditorCharacter(uint32_t character)
{
    switch (character) {
    case 'k':
    case '+':
    case '=':
        NextKind();
        break;
    case 'm':
    case '-':
    case '_':
        PreviousKind();
        break;
    case '.':
        EditCell(editor.cursorCell, M_EMPTY);
        break;
    default:
        break;
    }
}

int32_t CellAtPixel(int32_t x, int32_t y)
{
    if (x < 0 || x >= PICTURE_WIDTH || y < 0 || y >= PICTURE_HEIGHT) {
        return -1;
    }
    return x * M_COLUMNS / PICTURE_WIDTH * M_ROWS + y * M_ROWS / PICTURE_HEIGHT;
}

void EditorMouseMove(int32_t x, int32_t y)
{
    const bool moved = pointerKnown && (x != pointerX || y != pointerY);
    pointerKnown = true;
    pointerX = x;
    pointerY = y;
    const int32_t cell = CellAtPixel(x, y);
    if (!moved || cell < 0) {
        if (cell < 0) {
            lastPainted = -1;
        }
        return;
    }
    editor.cursorCell = cell;
    if (paintingButton != 0) {
        PaintTo(cell);
    }
}

void EditorMouseButton(int32_t button, bool down, int32_t x, int32_t y)
{
    if (button != EDITOR_LEFT_BUTTON && button != EDITOR_RIGHT_BUTTON) {
        return;
    }
    bool &held = button == EDITOR_LEFT_BUTTON ? leftHeld : rightHeld;
    if (!down) {
        if (!held) {
            return;  // a release whose press was cancelled or came before the window
        }
        held = false;
        const bool otherHeld = button == EDITOR_LEFT_BUTTON ? rightHeld : leftHeld;
        if (otherHeld && paintingButton == button) {
            paintingButton =
                button == EDITOR_LEFT_BUTTON ? EDITOR_RIGHT_BUTTON : EDITOR_LEFT_BUTTON;
        } else if (!otherHeld) {
            EndDrag();
        }
        return;
    }
    held = true;
    pointerKnown = true;
    pointerX = x;
    pointerY = y;
    if (paintingButton == 0) {
        BeginChange();
    }
    paintingButton = button;
    const int32_t cell = CellAtPixel(x, y);
    if (cell < 0) {
        lastPainted = -1;
        return;
    }
    editor.cursorCell = cell;
    lastPainted = -1;
    PaintTo(cell);
}

void EditorMouseWheel(int32_t steps)
{
    steps %= editor.kindCount;  // a whole turn of the kinds changes nothing
    for (int32_t i = 0; i < steps; ++i) {
        NextKind();
    }
    for (int32_t i = 0; i > steps; --i) {
        PreviousKind();
    }
}

void EditorFocusLost()
{
    EndDrag();
    leftHeld = false;
    rightHeld = false;
}

const char *KindName(int32_t kind)
{
    return kind >= 1 && kind <= int32_t(sizeof KIND_NAMES / sizeof KIND_NAMES[0])
               ? KIND_NAMES[kind - 1]
               : "?";
}
