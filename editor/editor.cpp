#include "editor/editor.h"

#include "editor/map_guard.h"
#include "platform/keys.h"
#include "world/map.h"

EditorState editor = {0, 1, 8};

namespace {

void NextKind()
{
    editor.currentKind = editor.currentKind == editor.kindCount ? 1 : editor.currentKind + 1;
}

void PreviousKind()
{
    editor.currentKind = editor.currentKind == 1 ? editor.kindCount : editor.currentKind - 1;
}
}  // namespace

void ResetEditor()
{
    editor = EditorState{0, 1, 8};
    ResetMapGuard();
}

EditorRequest EditorKeyDown(uint32_t key, bool control, uint32_t now)
{
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
        M_SetCell(editor.cursorCell, int16_t(editor.currentKind));  // ignored off the grid
        break;
    case P_KEY_F5:
        SaveGuardedMap(now);
        break;
    case 'S':
        if (control) {
            SaveGuardedMap(now);
        }
        break;
    case P_KEY_F7:
        LoadGuardedMap();
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
        M_SetCell(editor.cursorCell, 0);
        break;
    default:
        break;
    }
}
