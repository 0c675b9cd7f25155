#include "editor/history.h"

#include "world/map.h"

#include <cstddef>
#include <vector>

namespace {
struct CellEdit {
    int32_t index;
    int16_t before;
    int16_t after;
};

std::vector<CellEdit> edits;       // the kept changes' edits, change after change
std::vector<size_t> changeStarts;  // where each kept change begins in `edits`
size_t changesMade = 0;            // changes [0, changesMade) are in the grid, the rest undone
std::vector<CellEdit> openEdits;   // the open change, one entry per cell
int32_t openDepth = 0;

void Record(int32_t index, int16_t before, int16_t after)
{
    for (CellEdit &edit : openEdits) {
        if (edit.index == index) {
            edit.after = after;  // painted over within one drag: its first state is the one to undo
            return;
        }
    }
    openEdits.push_back(CellEdit{index, before, after});
}

void KeepOpenChange()
{
    std::vector<CellEdit> kept;
    for (const CellEdit &edit : openEdits) {
        if (edit.before != edit.after) {
            kept.push_back(edit);
        }
    }
    openEdits.clear();
    if (kept.empty()) {
        return;  // a click on a cell that already held the kind: nothing to undo, redo kept
    }
    if (changesMade < changeStarts.size()) {
        edits.resize(changeStarts[changesMade]);
        changeStarts.resize(changesMade);
    }
    changeStarts.push_back(edits.size());
    edits.insert(edits.end(), kept.begin(), kept.end());
    changesMade = changeStarts.size();
}

size_t ChangeEnd(size_t change)
{
    return change + 1 < changeStarts.size() ? changeStarts[change + 1] : edits.size();
}
}  // namespace

void BeginChange() { ++openDepth; }

void EditCell(int32_t index, int16_t code)
{
    const int16_t *cells = M_GetCells();
    if (cells == nullptr || index < 0 || index >= M_CELLS) {
        return;
    }
    BeginChange();
    Record(index, cells[index], code);
    M_SetCell(index, code);
    EndChange();
}

void EndChange()
{
    if (openDepth > 0 && --openDepth == 0) {
        KeepOpenChange();
    }
}

void RecordGridChange(const int16_t *before)
{
    const int16_t *cells = M_GetCells();
    if (cells == nullptr) {
        return;
    }
    BeginChange();
    for (int32_t index = 0; index < M_CELLS; ++index) {
        if (cells[index] != before[index]) {
            Record(index, before[index], cells[index]);
        }
    }
    EndChange();
}

bool UndoChange()
{
    if (openDepth > 0) {
        openDepth = 0;
        KeepOpenChange();
    }
    if (changesMade == 0) {
        return false;
    }
    --changesMade;
    for (size_t i = ChangeEnd(changesMade); i > changeStarts[changesMade]; --i) {
        M_SetCell(edits[i - 1].index, edits[i - 1].before);
    }
    return true;
}

bool RedoChange()
{
    if (openDepth > 0) {
        openDepth = 0;
        KeepOpenChange();  // an edit in it drops what could be redone
    }
    if (changesMade == changeStarts.size()) {
        return false;
    }
    for (size_t i = changeStarts[changesMade]; i < ChangeEnd(changesMade); ++i) {
        M_SetCell(edits[i].index, edits[i].after);
    }
    ++changesMade;
    return true;
}

void ResetHistory()
{
    edits.clear();
    changeStarts.clear();
    changesMade = 0;
    openEdits.clear();
    openDepth = 0;
}
