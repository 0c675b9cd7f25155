#include "editor/map_guard.h"

#include "editor/editor.h"
#include "editor/history.h"
#include "editor/scene.h"
#include "platform/file.h"
#include "platform/keys.h"
#include "world/map.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
enum class Question { NONE, SAVE, QUIT };

int16_t savedCells[M_CELLS];  // the grid as last loaded or saved; all empty at start, as the grid
bool mapInHand = false;       // this session has loaded or saved the map file
Question question = Question::NONE;
uint32_t questionKey = P_KEY_NONE;  // the key whose press asked
bool questionKeyReleased = false;
uint32_t askedAt = 0;
char questionText[96];

Question QuestionOf(uint32_t key, bool control)
{
    if (key == P_KEY_ESCAPE) {
        return Question::QUIT;
    }
    if (key == P_KEY_F5 || key == P_KEY_F9 || (key == 'S' && control)) {
        return Question::SAVE;
    }
    return Question::NONE;
}

bool IsModifier(uint32_t key)
{
    return key == P_KEY_SHIFT || key == P_KEY_CONTROL || key == P_KEY_ALT;
}

// A quit question stands until the next key; a save question only for a few seconds, so that an
// F5 much later, when the user may have forgotten the first, asks again.
bool QuestionOpen(uint32_t now)
{
    return question == Question::QUIT ||
           (question == Question::SAVE && now - askedAt < SAVE_QUESTION_MS);
}

bool NeedsAsking(Question asked)
{
    if (asked == Question::SAVE) {
        // Before F7 the grid is not the map on disk: one F5 would replace it with the empty grid.
        return !mapInHand && P_FileReadable(editorMap.path);
    }
    // One Escape would throw away every edit since the last save.
    return HasUnsavedCells();
}

void Ask(Question asked, uint32_t key, uint32_t now)
{
    question = asked;
    questionKey = key;
    questionKeyReleased = false;
    askedAt = now;
    if (asked == Question::SAVE) {
        const char *const keyName = key == P_KEY_F5 ? "F5" : key == P_KEY_F9 ? "F9" : "Ctrl+S";
        snprintf(questionText, sizeof questionText, "Press %s again to overwrite %s", keyName,
                 editorMap.path);
    } else {
        snprintf(questionText, sizeof questionText, "Unsaved changes: press Escape again to quit");
    }
}

void RememberCells()
{
    const int16_t *cells = M_GetCells();
    if (cells != nullptr) {
        memcpy(savedCells, cells, sizeof savedCells);
    }
}

// The whole file at `path` into `bytes`; a missing file is no failure (`exists` false), an
// unreadable one is.
bool ReadWholeFile(const char *path, std::vector<uint8_t> *bytes, bool *exists)
{
    errno = 0;
    const FilePtr file(fopen(path, "rb"));
    *exists = file != nullptr;
    if (!file) {
        return errno == ENOENT;
    }
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    return ferror(file.get()) == 0;
}

// Loads the map file over the grid, as a change that can be undone when `asChange`. A named map
// loads only whole; the classic map keeps its reading of short files over the current cells.
bool LoadMapFile(bool asChange, uint32_t now)
{
    // Without a file nothing was loaded: the edits stay unsaved and a later file is not in hand.
    int16_t *const grid = mapCells;
    if (grid == nullptr || !P_FileReadable(editorMap.path)) {
        return false;
    }
    int16_t before[M_CELLS];
    memcpy(before, grid, sizeof before);
    if (editorMap.named) {
        long size = 0;
        const M_ReadResult result = M_ReadMapFile(editorMap.path, grid, &size);
        if (result != M_ReadResult::WHOLE) {
            char text[96];
            if (result == M_ReadResult::MISSING) {
                snprintf(text, sizeof text, "Cannot read %s", editorMap.path);
            } else {
                snprintf(text, sizeof text, "%s is %ld bytes, not 1200: not loaded", editorMap.path,
                         size);
            }
            ShowEditorStatus(text, true, now);
            return false;
        }
    } else {
        M_LoadMapEditor(editorMap.path);
    }
    if (asChange) {
        RecordGridChange(before);
    }
    RememberCells();
    mapInHand = true;
    return true;
}
}  // namespace

bool MapGuardAllows(uint32_t key, bool control, uint32_t now)
{
    if (IsModifier(key)) {
        return true;  // the Ctrl of Ctrl+S must not withdraw the question Ctrl+S asked
    }
    const Question asked = QuestionOf(key, control);
    if (asked != Question::NONE && asked == question && QuestionOpen(now)) {
        if (key == questionKey && !questionKeyReleased) {
            return false;  // a held key's auto-repeat is no second press
        }
        question = Question::NONE;
        return true;
    }
    question = Question::NONE;
    if (asked != Question::NONE && NeedsAsking(asked)) {
        Ask(asked, key, now);
        return false;
    }
    return true;
}

void MapGuardKeyUp(uint32_t key)
{
    if (key == questionKey) {
        questionKeyReleased = true;
    }
}

bool OpenEditorMap(uint32_t now) { return LoadMapFile(false, now); }

void LoadGuardedMap(uint32_t now) { LoadMapFile(true, now); }

bool SaveGuardedMap(uint32_t now)
{
    std::vector<uint8_t> previous;
    bool hadFile = false;
    // No save without its backup: the file it replaces may be someone's only copy of a map.
    const bool backedUp =
        ReadWholeFile(editorMap.path, &previous, &hadFile) &&
        (!hadFile || P_ReplaceFile(editorMap.backupPath, previous.data(), previous.size()));
    char text[96];
    if (!backedUp || !M_SaveMap(editorMap.path)) {
        snprintf(text, sizeof text, "Not saved: %s is unchanged", editorMap.path);
        ShowEditorStatus(text, true, now);
        return false;
    }
    RememberCells();
    mapInHand = true;
    snprintf(text, sizeof text, "Map saved to %s", editorMap.path);
    ShowEditorStatus(text, false, now);
    return true;
}

bool HasUnsavedCells()
{
    const int16_t *cells = M_GetCells();
    return cells != nullptr && memcmp(cells, savedCells, sizeof savedCells) != 0;
}

const char *MapGuardQuestion(uint32_t now) { return QuestionOpen(now) ? questionText : nullptr; }

void ResetMapGuard()
{
    memset(savedCells, 0, sizeof savedCells);
    mapInHand = false;
    question = Question::NONE;
    questionKey = P_KEY_NONE;
}
