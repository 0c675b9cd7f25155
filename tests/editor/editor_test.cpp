#include "editor/editor.h"

#include "editor/map_guard.h"
#include "editor/scene.h"
#include "platform/keys.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Cell centres in screen pixels, rows counted from the top: the grid fills the 800 x 600 picture,
// so a cell is 40 x 20 pixels.
int32_t PixelX(int32_t cell) { return cell / M_ROWS * 40 + 20; }
int32_t PixelY(int32_t cell) { return cell % M_ROWS * 20 + 10; }
int32_t CellOf(int32_t column, int32_t row) { return column * M_ROWS + row; }

// One user action: a key pressed (down and up), held (down alone, or its repeat) or let go, a
// character, or a mouse button or move over the cell `key`.
struct Step {
    enum Kind { PRESS, HOLD, RELEASE, CHARACTER, LEFT, LEFT_UP, RIGHT, RIGHT_UP, MOVE } kind;
    uint32_t key;
    uint32_t at = 0;
    uint32_t modifiers = 0;
};
using S = Step;

// Acts out `steps`; returns what the last key-down asked for.
EditorRequest Act(const std::vector<Step> &steps)
{
    EditorRequest last = EditorRequest::NONE;
    for (const Step &step : steps) {
        const int32_t x = PixelX(int32_t(step.key));
        const int32_t y = PixelY(int32_t(step.key));
        switch (step.kind) {
        case S::PRESS:
        case S::HOLD:
            last = EditorKeyDown(step.key, step.modifiers, step.at);
            if (step.kind == S::PRESS) {
                EditorKeyUp(step.key);
            }
            break;
        case S::RELEASE:
            EditorKeyUp(step.key);
            break;
        case S::CHARACTER:
            EditorCharacter(step.key);
            break;
        case S::LEFT:
        case S::LEFT_UP:
        case S::RIGHT:
        case S::RIGHT_UP:
            EditorMouseButton(step.kind <= S::LEFT_UP ? EDITOR_LEFT_BUTTON : EDITOR_RIGHT_BUTTON,
                              step.kind == S::LEFT || step.kind == S::RIGHT, x, y);
            break;
        case S::MOVE:
            EditorMouseMove(x, y);
            break;
        }
    }
    return last;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override { Restart(); }
    void TearDown() override { M_FreeMap(); }
    static void Restart()
    {
        ResetEditor();
        M_AllocMap();
    }
    static int16_t Cell(int32_t index) { return M_GetCells()[index]; }
    // The grid as the map file holds it.
    static std::string GridBytes()
    {
        std::string bytes;
        for (int32_t i = 0; i < M_CELLS; ++i) {
            bytes += {char(Cell(i) & 0xff), char((Cell(i) >> 8) & 0xff)};
        }
        return bytes;
    }
    const std::string emptyGrid = std::string(M_FILE_SIZE, '\0');
};

// k/m and +/-, =/_ step through the eight kinds, lower case only; space and Enter place, '.'
// clears, G toggles the grid lines but not with Ctrl.
TEST_F(EditorTest, KeysPickPlaceAndClear)
{
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EXPECT_EQ(Cell(0), 1);
    EditorCharacter('.');
    EXPECT_EQ(Cell(0), 0);
    for (const auto &[c, kind] : {std::pair{'m', 8}, {'+', 1}, {'_', 8}, {'K', 8}, {'k', 1}}) {
        EditorCharacter(uint32_t(c));
        EXPECT_EQ(editor.currentKind, kind) << c;
    }
    EditorCharacter('k');
    EditorKeyDown(P_KEY_DOWN, 0, 0);
    EditorKeyDown(P_KEY_ENTER, 0, 0);
    EXPECT_EQ(Cell(1), 2);

    EditorKeyDown('G', 0, 0);
    EditorKeyDown('G', EDITOR_CONTROL, 0);
    EXPECT_TRUE(editor.gridLines);
    EditorKeyDown('G', 0, 0);
    EXPECT_FALSE(editor.gridLines);
}

// Up and down are index arithmetic: they wrap into the neighbouring column. The cursor may leave
// the grid, but nothing is written there.
TEST_F(EditorTest, CursorMovesByIndexAndWritesOnlyOnTheGrid)
{
    const struct {
        int32_t from;
        uint32_t key;
        int32_t to;
    } cases[] = {
        {30, P_KEY_LEFT, 0}, {30, P_KEY_UP, 29}, {599, P_KEY_RIGHT, 629}, {0, P_KEY_UP, -1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        editor.cursorCell = c.from;
        EXPECT_EQ(EditorKeyDown(c.key, 0, 0), EditorRequest::NONE);
        EXPECT_EQ(editor.cursorCell, c.to);
    }
    for (const int32_t cell : {-1, -30, 600, 629}) {
        editor.cursorCell = cell;
        EditorKeyDown(P_KEY_SPACE, 0, 0);
        EditorCharacter('.');
    }
    EXPECT_EQ(GridBytes(), emptyGrid);
}

// The cell under a pixel, -1 off the picture. The first position only tells where the pointer
// rests: at start the cursor stays on cell 0 whatever lies under the pointer. Moves off the
// picture leave the cursor where it was.
TEST_F(EditorTest, ThePointerMovesTheCursorOnceItMoves)
{
    const struct {
        int32_t x, y, cell;
    } cases[] = {{39, 19, 0}, {40, 20, 31}, {799, 599, 599}, {800, 0, -1}, {10, -1, -1}};
    for (const auto &c : cases) {
        EXPECT_EQ(CellAtPixel(c.x, c.y), c.cell) << c.x << "," << c.y;
    }
    EditorMouseMove(400, 300);
    EditorMouseMove(400, 300);
    EXPECT_EQ(editor.cursorCell, 0);
    EditorMouseMove(401, 300);
    EXPECT_EQ(editor.cursorCell, 315);
    EditorMouseMove(900, 300);
    EXPECT_EQ(editor.cursorCell, 315);
    EditorKeyDown(P_KEY_RIGHT, 0, 0);  // the keys still move it
    EXPECT_EQ(editor.cursorCell, 345);
    EXPECT_EQ(GridBytes(), emptyGrid);  // moving paints nothing
}

// Left places the current kind, right clears, both paint while dragged, also over cells the
// moves skipped; the wheel steps the kinds as k and m do.
TEST_F(EditorTest, ButtonsPlaceAndClearAlongTheDrag)
{
    const std::vector<int32_t> line = {CellOf(2, 3), CellOf(3, 4), CellOf(4, 4), CellOf(5, 5),
                                       CellOf(6, 5)};
    // Four columns and two rows on in one move; then a move with no button paints nothing.
    Act({{S::LEFT, uint32_t(line[0])},
         {S::MOVE, uint32_t(line[4])},
         {S::LEFT_UP, uint32_t(line[4])},
         {S::MOVE, uint32_t(CellOf(9, 9))}});
    for (int32_t i = 0; i < M_CELLS; ++i) {
        const bool onLine = std::find(line.begin(), line.end(), i) != line.end();
        ASSERT_EQ(Cell(i), onLine ? 1 : 0) << "cell " << i;
    }

    EditorMouseWheel(1);
    EXPECT_EQ(editor.currentKind, 2);
    EditorMouseWheel(-2);
    EXPECT_EQ(editor.currentKind, 8);

    Act({{S::RIGHT, uint32_t(line[1])},
         {S::MOVE, uint32_t(line[2])},
         {S::MOVE, uint32_t(line[3])},
         {S::RIGHT_UP, uint32_t(line[3])}});
    EXPECT_EQ(Cell(line[0]), 1);
    EXPECT_EQ(Cell(line[1]) | Cell(line[2]) | Cell(line[3]), 0);
    EXPECT_EQ(Cell(line[4]), 1);
    EditorMouseButton(EDITOR_LEFT_BUTTON, true, 900, 10);  // off the picture: nothing
    EditorMouseButton(EDITOR_LEFT_BUTTON, false, 900, 10);
    EXPECT_EQ(Cell(CellOf(19, 0)), 0);
}

// Every change can be undone and redone, whatever made it: a key or a whole drag (one change). A
// new change drops what was undone before it.
TEST_F(EditorTest, UndoAndRedo)
{
    const Step space{S::PRESS, P_KEY_SPACE};
    const Step down{S::PRESS, P_KEY_DOWN};
    const Step undo{S::PRESS, 'Z', 0, EDITOR_CONTROL};
    const Step redo{S::PRESS, 'Y', 0, EDITOR_CONTROL};
    struct Case {
        const char *name;
        std::vector<Step> steps;
        std::vector<std::pair<int32_t, int16_t>> cells;  // all other cells are empty
    };
    const Case cases[] = {
        {"Z, Shift+Z and Y without Ctrl",
         {space, {S::PRESS, 'Z'}, {S::PRESS, 'Z', 0, EDITOR_SHIFT}, {S::PRESS, 'Y'}},
         {{0, 1}}},
        {"back to the start and on", {space, down, space, undo, undo, undo, redo}, {{0, 1}}},
        {"a dropped change never comes back",
         {space, down, space, down, space, undo, {S::CHARACTER, 'k'}, space, undo, undo, redo},
         {{0, 1}, {1, 1}}},
        {"the kind a cell holds is no change", {space, space, undo}, {}},
        {"a drag is one change",
         {{S::LEFT, 40}, {S::MOVE, 41}, {S::MOVE, 71}, {S::LEFT_UP, 71}, undo},
         {}},
        {"a drag over its own cells",
         {space, {S::RIGHT, 0}, {S::MOVE, 1}, {S::MOVE, 0}, {S::RIGHT_UP, 0}, undo},
         {{0, 1}}},
        {"undo in the middle of a drag ends it",
         {{S::LEFT, 40}, undo, {S::MOVE, 41}, {S::LEFT_UP, 41}},
         {}},
        {"a click on a held kind keeps the redo",
         {space, undo, {S::RIGHT, 5}, {S::RIGHT_UP, 5}, redo},
         {{0, 1}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Act(c.steps);
        std::string expected = emptyGrid;
        for (const auto &[index, code] : c.cells) {
            expected[size_t(index) * 2] = char(code);
        }
        EXPECT_EQ(GridBytes(), expected);
    }

    Restart();
    EditorKeyDown('Z', EDITOR_CONTROL, 100);
    bool failure = true;
    EXPECT_STREQ(EditorStatus(100, &failure), "Nothing to undo");
    EXPECT_FALSE(failure);
    EditorKeyDown('Y', EDITOR_CONTROL, 200);
    EXPECT_STREQ(EditorStatus(200, &failure), "Nothing to redo");
}

// A name on the command line picks maps/NAME.vsm and its backup; a bad one changes nothing.
TEST_F(EditorTest, NamedMapsAreFilesInTheMapsFolder)
{
    EXPECT_FALSE(editorMap.named);
    ASSERT_TRUE(SetEditorMap("arena"));
    EXPECT_STREQ(editorMap.path, "maps/arena.vsm");
    EXPECT_STREQ(editorMap.backupPath, "maps/arena.vsm.bak");
    EXPECT_TRUE(editorMap.named);
    ASSERT_TRUE(SetEditorMap("Big_Room-2.vsm"));
    EXPECT_STREQ(editorMap.path, "maps/Big_Room-2.vsm");
    EXPECT_FALSE(SetEditorMap("../x"));
    EXPECT_STREQ(editorMap.path, "maps/Big_Room-2.vsm");
    EXPECT_TRUE(SetEditorMap(nullptr));
    EXPECT_STREQ(editorMap.path, "maps/v2dm1.vsm");
    EXPECT_FALSE(editorMap.named);
}

// The editor in a folder of its own that holds a map file, as the game's data folder does.
class MapGuardTest : public EditorTest {
protected:
    // 600 cells of which the first two hold kinds 1 and 2; other cells carry a pattern so that a
    // save of the empty grid cannot pass for it.
    static std::string OldMap()
    {
        std::string bytes(M_FILE_SIZE, '\0');
        bytes[0] = 1;
        bytes[2] = 2;
        for (size_t i = 100; i < bytes.size(); i += 2) {
            bytes[i] = char(1 + i % 7);
        }
        return bytes;
    }
    // A new session over the old map file and no backup.
    void Restart()
    {
        EditorTest::Restart();
        dir.Write(editorMap.path, OldMap());
        std::filesystem::remove(dir.Path(editorMap.backupPath));
    }
    void SetUp() override { Restart(); }

    TempDir dir;
    WorkingDirectory cwd{dir.Root()};
};

constexpr uint32_t LATE = 0xfffffc00;  // 1024 ms before the millisecond clock wraps

// Before F7 the grid is not the map on disk: F5 asks and only a fresh second save key within
// 3 s overwrites. Whether a save happened shows in the backup, which only a save writes.
TEST_F(MapGuardTest, SavingBeforeLoadingAsksFirst)
{
    constexpr uint32_t F5 = P_KEY_F5;
    const Step ctrlS{S::PRESS, 'S', 1200, EDITOR_CONTROL};
    const struct {
        const char *name;
        std::vector<Step> steps;
        bool saved;
    } cases[] = {
        {"second F5 within 3 s", {{S::PRESS, F5, 1000}, {S::PRESS, F5, 3999}}, true},
        {"second F5 at 3 s asks again", {{S::PRESS, F5, 1000}, {S::PRESS, F5, 4000}}, false},
        {"another key withdraws the question",
         {{S::PRESS, F5, 1000}, {S::PRESS, P_KEY_RIGHT, 1100}, {S::PRESS, F5, 1200}},
         false},
        {"Ctrl+S twice", {{S::PRESS, 'S', 1000, EDITOR_CONTROL}, ctrlS}, true},
        {"Ctrl pressed again, then Ctrl+S answers F5",
         {{S::PRESS, F5, 1000}, {S::PRESS, P_KEY_CONTROL, 1100}, ctrlS},
         true},
        {"a held F5 repeating is no second press",
         {{S::HOLD, F5, 1000}, {S::HOLD, F5, 1660}, {S::HOLD, F5, 1700}},
         false},
        {"released between", {{S::HOLD, F5, 1000}, {S::RELEASE, F5}, {S::PRESS, F5, 1300}}, true},
        {"the clock wraps between", {{S::PRESS, F5, LATE}, {S::PRESS, F5, 976}}, true},
        {"after F7 at once", {{S::PRESS, P_KEY_F7, 1000}, {S::PRESS, F5, 1100}}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        Act(c.steps);
        if (c.saved) {
            EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
            EXPECT_EQ(dir.Read(editorMap.backupPath), OldMap());
            EXPECT_EQ(MapGuardQuestion(c.steps.back().at), nullptr);
        } else {
            EXPECT_EQ(dir.Read(editorMap.path), OldMap());
            EXPECT_FALSE(std::filesystem::exists(dir.Path(editorMap.backupPath)));
        }
    }
}

// Each save key names itself in the question, which lasts 3 s. F9 saves as F5 does and asks for
// the game only once saved.
TEST_F(MapGuardTest, TheQuestionNamesItsKeyAndF9PlaysOnceSaved)
{
    EditorKeyDown('S', EDITOR_CONTROL, 1000);
    EXPECT_STREQ(MapGuardQuestion(3999), "Press Ctrl+S again to overwrite maps/v2dm1.vsm");
    EXPECT_EQ(MapGuardQuestion(4000), nullptr);
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 5000), EditorRequest::NONE);
    EXPECT_STREQ(MapGuardQuestion(5000), "Press F9 again to overwrite maps/v2dm1.vsm");
    EXPECT_EQ(dir.Read(editorMap.path), OldMap());
    EditorKeyUp(P_KEY_F9);
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 5100), EditorRequest::PLAY);
    EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
    EditorKeyUp(P_KEY_F9);

    std::filesystem::create_directories(dir.Path("maps/v2dm1.vsm.tmp"));  // the save fails
    EditorKeyDown(P_KEY_SPACE, 0, 5200);
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 5300), EditorRequest::NONE);
    bool failure = false;
    EXPECT_STREQ(EditorStatus(5300, &failure), "Not saved: maps/v2dm1.vsm is unchanged");
}

// An unsaved edit is a cell that differs from what was last loaded or saved (before either, the
// empty grid): placing the kind a cell already holds, or putting a cell back, is no edit.
TEST_F(MapGuardTest, EscapeAsksOnlyWithUnsavedCells)
{
    const Step space{S::PRESS, P_KEY_SPACE};
    const Step escape{S::PRESS, P_KEY_ESCAPE};
    const Step load{S::PRESS, P_KEY_F7};
    const struct {
        const char *name;
        std::vector<Step> steps;
        EditorRequest last;
    } cases[] = {
        {"nothing edited", {escape}, EditorRequest::QUIT},
        {"the question waits for the next key",
         {space, {S::PRESS, P_KEY_ESCAPE, 1000}, {S::PRESS, P_KEY_ESCAPE, 900000}},
         EditorRequest::QUIT},
        {"another key withdraws it",
         {space, escape, {S::PRESS, P_KEY_RIGHT}, escape},
         EditorRequest::NONE},
        {"the kind the cell already holds", {load, space, escape}, EditorRequest::QUIT},
        {"a cell put back", {space, {S::CHARACTER, '.'}, escape}, EditorRequest::QUIT},
        {"a cleared cell", {load, {S::CHARACTER, '.'}, escape}, EditorRequest::NONE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        EXPECT_EQ(Act(c.steps), c.last);
        if (c.last == EditorRequest::NONE) {
            EXPECT_STREQ(MapGuardQuestion(c.steps.back().at),
                         "Unsaved changes: press Escape again to quit");
        }
    }
}

// A save that fails part-way leaves the map file and the older backup as they were, says so, and
// keeps the edits unsaved. A folder named like a temporary file stands in for a folder that
// refuses new files (permissions do not stop the root user), a file-size limit for a full disk.
TEST_F(MapGuardTest, AFailedSaveKeepsTheMapAndSaysSo)
{
    const std::string olderBackup = "an older backup";
    const struct {
        const char *name;
        const char *blockedName;  // made a folder; nullptr for none
        rlim_t sizeLimit;         // 0 for none
        bool backupWritten;
    } cases[] = {
        {"the backup cannot be written", "maps/v2dm1.vsm.bak.tmp", 0, false},
        {"the map cannot be written", "maps/v2dm1.vsm.tmp", 0, true},
        {"the disk fills up", nullptr, 600, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.tmp"));
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.bak.tmp"));
        dir.Write(editorMap.backupPath, olderBackup);
        if (c.blockedName != nullptr) {
            std::filesystem::create_directories(dir.Path(c.blockedName));
        }
        Act({{S::PRESS, P_KEY_F7}, {S::PRESS, P_KEY_DOWN}, {S::PRESS, P_KEY_SPACE}});
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit != 0) {
                limit.emplace(c.sizeLimit);
            }
            EditorKeyDown(P_KEY_F5, 0, 5000);
        }
        EXPECT_EQ(dir.Read(editorMap.path), OldMap());
        EXPECT_EQ(dir.Read(editorMap.backupPath), c.backupWritten ? OldMap() : olderBackup);
        bool failure = false;
        EXPECT_STREQ(EditorStatus(5000, &failure), "Not saved: maps/v2dm1.vsm is unchanged");
        EXPECT_TRUE(failure);
        EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, 0, 5100), EditorRequest::NONE);
    }
}

// F7 is a change like any other: undoing it brings back the edits it covered, and the file
// still counts as loaded, so saving does not ask.
TEST_F(MapGuardTest, LoadingCanBeUndone)
{
    editor.cursorCell = 40;
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EditorKeyDown(P_KEY_F7, 0, 0);
    EXPECT_EQ(GridBytes(), OldMap());
    EditorKeyDown('Z', EDITOR_CONTROL, 0);
    EXPECT_EQ(Cell(40), 1);
    EXPECT_EQ(Cell(0), 0);
    EXPECT_TRUE(HasUnsavedCells());
    EditorKeyDown('Y', EDITOR_CONTROL, 0);
    EXPECT_EQ(GridBytes(), OldMap());
    EXPECT_FALSE(HasUnsavedCells());  // redone to what is on disk: nothing to save
    EditorKeyDown('Z', EDITOR_CONTROL, 0);
    EditorKeyDown(P_KEY_F5, 0, 0);
    EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
    EXPECT_EQ(dir.Read(editorMap.path)[80], 1);
}

// A named map that exists is loaded at start and may be saved over at once; one that does not
// starts empty and the first save creates it; one of the wrong size is not loaded, says so, and
// saving over it asks first.
TEST_F(MapGuardTest, NamedMapsOpenAtStart)
{
    const struct {
        const char *name;
        size_t size;  // 0 for no file
        bool opened;
    } cases[] = {
        {"whole", M_FILE_SIZE, true}, {"missing", 0, false}, {"short", M_FILE_SIZE - 2, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EditorTest::Restart();
        ASSERT_TRUE(SetEditorMap("arena"));
        std::filesystem::remove(dir.Path(editorMap.path));
        std::filesystem::remove(dir.Path(editorMap.backupPath));
        std::string file;
        if (c.size != 0) {
            file = OldMap();
            file.resize(c.size, '\x02');
            dir.Write(editorMap.path, file);
        }
        const std::string start = c.opened ? OldMap() : emptyGrid;
        EXPECT_EQ(OpenEditorMap(1000), c.opened);
        EXPECT_EQ(GridBytes(), start);
        const bool asks = c.size != 0 && !c.opened;
        if (asks) {
            bool failure = false;
            const std::string expected =
                "maps/arena.vsm is " + std::to_string(c.size) + " bytes, not 1200: not loaded";
            EXPECT_STREQ(EditorStatus(1000, &failure), expected.c_str());
            EXPECT_TRUE(failure);
        }
        EditorKeyDown('Z', EDITOR_CONTROL, 1000);  // the start is no change to undo
        EXPECT_EQ(GridBytes(), start);

        Act({{S::PRESS, P_KEY_SPACE, 1100}, {S::PRESS, P_KEY_F5, 1200}});
        EXPECT_EQ(dir.Read(editorMap.path), asks ? file : GridBytes());
        if (asks) {
            EXPECT_STREQ(MapGuardQuestion(1200), "Press F5 again to overwrite maps/arena.vsm");
            EditorKeyDown(P_KEY_F5, 0, 1300);
            EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
            EXPECT_EQ(dir.Read(editorMap.backupPath), file);
        } else {
            EXPECT_EQ(MapGuardQuestion(1200), nullptr);
        }
    }
}
}  // namespace
