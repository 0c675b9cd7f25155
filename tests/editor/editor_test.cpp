#include "editor/editor.h"

#include "editor/history.h"
#include "editor/map_guard.h"
#include "editor/scene.h"
#include "platform/keys.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetEditor();
        M_AllocMap();
    }
    void TearDown() override { M_FreeMap(); }
    static int16_t Cell(int32_t index) { return M_GetCells()[index]; }
};

TEST_F(EditorTest, KindsCycleThroughAllEight)
{
    for (int i = 0; i < 8; ++i) {
        EditorCharacter('k');
    }
    EXPECT_EQ(editor.currentKind, 1);
    EditorCharacter('m');
    EXPECT_EQ(editor.currentKind, 8);
    EditorCharacter('+');
    EXPECT_EQ(editor.currentKind, 1);
    EditorCharacter('=');
    EditorCharacter('-');
    EditorCharacter('_');
    EXPECT_EQ(editor.currentKind, 8);
    EditorCharacter('K');  // lower case only
    EXPECT_EQ(editor.currentKind, 8);
}

TEST_F(EditorTest, PlacingAndClearing)
{
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EXPECT_EQ(Cell(0), 1);
    EditorCharacter('.');
    EXPECT_EQ(Cell(0), 0);
    EditorCharacter('k');
    EditorKeyDown(P_KEY_DOWN, 0, 0);
    EditorKeyDown(P_KEY_ENTER, 0, 0);
    EXPECT_EQ(Cell(1), 2);
}

// Up and down are index arithmetic: they wrap into the neighbouring column.
TEST_F(EditorTest, CursorMovesByColumnsAndRows)
{
    struct Case {
        int32_t from;
        uint32_t key;
        int32_t to;
    };
    const Case cases[] = {
        {0, P_KEY_RIGHT, 30}, {30, P_KEY_LEFT, 0},     {31, P_KEY_UP, 30},   {30, P_KEY_UP, 29},
        {29, P_KEY_DOWN, 30}, {599, P_KEY_RIGHT, 629}, {0, P_KEY_LEFT, -30}, {0, P_KEY_UP, -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " key " << c.key);
        editor.cursorCell = c.from;
        EXPECT_EQ(EditorKeyDown(c.key, 0, 0), EditorRequest::NONE);
        EXPECT_EQ(editor.cursorCell, c.to);
    }
}

TEST_F(EditorTest, NothingIsWrittenWithTheCursorOffTheGrid)
{
    for (const int32_t cell : {-1, -30, 600, 629}) {
        editor.cursorCell = cell;
        EditorKeyDown(P_KEY_SPACE, 0, 0);
        EditorCharacter('.');
    }
    for (int32_t i = 0; i < M_CELLS; ++i) {
        ASSERT_EQ(Cell(i), 0) << i;
    }
}

TEST_F(EditorTest, F7LoadsTheMapOverTheEdits)
{
    TempDir dir;
    WorkingDirectory cwd(dir.Root());
    std::string bytes(1200, '\0');
    bytes[60] = 5;  // the cell right of the top-left one
    dir.Write(editorMap.path, bytes);
    editor.cursorCell = 2;
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EditorKeyDown(P_KEY_F7, 0, 0);
    EXPECT_EQ(Cell(2), 0);
    EXPECT_EQ(Cell(30), 5);
}

TEST_F(EditorTest, CursorCornerTruncatesTowardZero)
{
    struct Case {
        int32_t index;
        double left;
        double top;
    };
    const Case cases[] = {{0, -4.0, 3.0},  {31, -3.6, 2.8}, {599, 3.6, -2.8},
                          {-1, -4.0, 3.2}, {600, 4.0, 3.0}, {-31, -4.4, 3.2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        const CellPosition corner = M_CellPosition(c.index);
        EXPECT_NEAR(corner.left, c.left, 1e-9);
        EXPECT_NEAR(corner.top, c.top, 1e-9);
    }
}

// One user action at time `at`: a press (down and up), a key-down alone (held, or repeated while
// held), a key-up alone, a character.
struct Step {
    enum Kind { PRESS, HOLD, RELEASE, CTRL_PRESS, CHARACTER } kind;
    uint32_t key;
    uint32_t at;
};

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
    static std::string GridBytes()
    {
        std::string bytes;
        for (int32_t i = 0; i < M_CELLS; ++i) {
            bytes += {char(Cell(i) & 0xff), char((Cell(i) >> 8) & 0xff)};
        }
        return bytes;
    }
    static EditorRequest Run(const std::vector<Step> &steps)
    {
        EditorRequest last = EditorRequest::NONE;
        for (const Step &step : steps) {
            if (step.kind == Step::CHARACTER) {
                EditorCharacter(step.key);
                continue;
            }
            if (step.kind == Step::RELEASE) {
                EditorKeyUp(step.key);
                continue;
            }
            last = EditorKeyDown(step.key, step.kind == Step::CTRL_PRESS ? EDITOR_CONTROL : 0,
                                 step.at);
            if (step.kind != Step::HOLD) {
                EditorKeyUp(step.key);
            }
        }
        return last;
    }
    bool Exists(const std::string &relative) const
    {
        return std::filesystem::exists(dir.Path(relative));
    }
    void SetUp() override
    {
        EditorTest::SetUp();
        dir.Write(editorMap.path, OldMap());
    }

    TempDir dir;
    WorkingDirectory cwd{dir.Root()};
};

constexpr uint32_t LATE = 0xfffffc00;  // 1024 ms before the millisecond clock wraps

// Before F7 the grid is not the map on disk: F5 asks and only a fresh second save key within
// 3 s overwrites. Whether a save happened shows in the backup, which only a save writes.
TEST_F(MapGuardTest, SavingBeforeLoadingAsksFirst)
{
    using S = Step;
    struct Case {
        const char *name;
        std::vector<Step> steps;
        bool saved;
    };
    const Case cases[] = {
        {"one F5", {{S::PRESS, P_KEY_F5, 1000}}, false},
        {"second F5 within 3 s", {{S::PRESS, P_KEY_F5, 1000}, {S::PRESS, P_KEY_F5, 3999}}, true},
        {"second F5 at 3 s asks again",
         {{S::PRESS, P_KEY_F5, 1000}, {S::PRESS, P_KEY_F5, 4000}},
         false},
        {"third F5 answers the new question",
         {{S::PRESS, P_KEY_F5, 1000}, {S::PRESS, P_KEY_F5, 4000}, {S::PRESS, P_KEY_F5, 4100}},
         true},
        {"another key withdraws the question",
         {{S::PRESS, P_KEY_F5, 1000}, {S::PRESS, P_KEY_RIGHT, 1100}, {S::PRESS, P_KEY_F5, 1200}},
         false},
        {"Ctrl+S twice", {{S::CTRL_PRESS, 'S', 1000}, {S::CTRL_PRESS, 'S', 1500}}, true},
        {"Ctrl pressed again, then Ctrl+S answers F5",
         {{S::PRESS, P_KEY_F5, 1000}, {S::PRESS, P_KEY_CONTROL, 1100}, {S::CTRL_PRESS, 'S', 1200}},
         true},
        {"S without Ctrl is no save", {{S::PRESS, 'S', 1000}, {S::PRESS, 'S', 1100}}, false},
        {"a held F5 repeating is no second press",
         {{S::HOLD, P_KEY_F5, 1000}, {S::HOLD, P_KEY_F5, 1660}, {S::HOLD, P_KEY_F5, 1700}},
         false},
        {"released between",
         {{S::HOLD, P_KEY_F5, 1000}, {S::RELEASE, P_KEY_F5, 1200}, {S::PRESS, P_KEY_F5, 1300}},
         true},
        {"the clock about to wrap",
         {{S::PRESS, P_KEY_F5, LATE}, {S::PRESS, P_KEY_F5, LATE + 500}},
         true},
        {"the clock wraps between", {{S::PRESS, P_KEY_F5, LATE}, {S::PRESS, P_KEY_F5, 976}}, true},
        {"the clock wraps, 3 s later",
         {{S::PRESS, P_KEY_F5, LATE}, {S::PRESS, P_KEY_F5, 1976}},
         false},
        {"after F7 at once", {{S::PRESS, P_KEY_F7, 1000}, {S::PRESS, P_KEY_F5, 1100}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditor();
        M_AllocMap();
        dir.Write(editorMap.path, OldMap());
        std::filesystem::remove(dir.Path(editorMap.backupPath));
        Run(c.steps);
        const uint32_t end = c.steps.back().at;
        if (c.saved) {
            EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
            EXPECT_EQ(dir.Read(editorMap.backupPath), OldMap());
            EXPECT_EQ(MapGuardQuestion(end), nullptr);
        } else {
            EXPECT_EQ(dir.Read(editorMap.path), OldMap());
            EXPECT_FALSE(Exists(editorMap.backupPath));
        }
    }
}

TEST_F(MapGuardTest, TheQuestionNamesItsKeyAndLastsThreeSeconds)
{
    EditorKeyDown(P_KEY_F5, 0, 1000);
    ASSERT_NE(MapGuardQuestion(1000), nullptr);
    EXPECT_STREQ(MapGuardQuestion(3999), "Press F5 again to overwrite maps/v2dm1.vsm");
    EXPECT_EQ(MapGuardQuestion(4000), nullptr);
    EditorKeyDown('S', EDITOR_CONTROL, 5000);
    EXPECT_STREQ(MapGuardQuestion(5000), "Press Ctrl+S again to overwrite maps/v2dm1.vsm");
}

// With no map file there is nothing to overwrite, and F7 loads nothing: the edits stay unsaved.
TEST_F(MapGuardTest, WithoutAMapFile)
{
    std::filesystem::remove(dir.Path(editorMap.path));
    EditorKeyDown(P_KEY_SPACE, 0, 1000);
    EditorKeyDown(P_KEY_F7, 0, 1100);
    EXPECT_EQ(Cell(0), 1);
    EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, 0, 1200), EditorRequest::NONE);
    EditorKeyDown(P_KEY_F5, 0, 1300);
    EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
    EXPECT_FALSE(Exists(editorMap.backupPath));
}

// The backup holds the replaced file byte for byte, whatever it held, one generation deep.
TEST_F(MapGuardTest, EverySaveKeepsThePreviousFile)
{
    const std::string odd = "not a map, 19 bytes";
    dir.Write(editorMap.path, odd);
    EditorKeyDown(P_KEY_F7, 0, 0);
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EditorKeyDown(P_KEY_F5, 0, 0);
    const std::string first = GridBytes();
    EXPECT_EQ(dir.Read(editorMap.path), first);
    EXPECT_EQ(dir.Read(editorMap.backupPath), odd);
    EditorKeyDown(P_KEY_DOWN, 0, 0);
    EditorKeyDown(P_KEY_SPACE, 0, 0);
    EditorKeyDown(P_KEY_F5, 0, 0);
    EXPECT_NE(GridBytes(), first);
    EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
    EXPECT_EQ(dir.Read(editorMap.backupPath), first);
    for (const auto &entry : std::filesystem::directory_iterator(dir.Path("maps"))) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

// An unsaved edit is a cell that differs from what was last loaded or saved (before either, the
// empty grid): placing the kind a cell already holds, or putting a cell back, is no edit.
TEST_F(MapGuardTest, EscapeAsksOnlyWithUnsavedCells)
{
    using S = Step;
    const Step space{S::PRESS, P_KEY_SPACE, 0};
    const Step escape{S::PRESS, P_KEY_ESCAPE, 0};
    struct Case {
        const char *name;
        std::vector<Step> steps;
        EditorRequest last;
    };
    const Case cases[] = {
        {"nothing edited", {escape}, EditorRequest::QUIT},
        {"an edit", {space, escape}, EditorRequest::NONE},
        {"an edit, Escape twice", {space, escape, escape}, EditorRequest::QUIT},
        {"the question waits for the next key",
         {space, {S::PRESS, P_KEY_ESCAPE, 1000}, {S::PRESS, P_KEY_ESCAPE, 900000}},
         EditorRequest::QUIT},
        {"another key withdraws it",
         {space, escape, {S::PRESS, P_KEY_RIGHT, 0}, escape},
         EditorRequest::NONE},
        {"a held Escape repeating",
         {space, {S::HOLD, P_KEY_ESCAPE, 0}, escape},
         EditorRequest::NONE},
        {"the kind the cell already holds",
         {{S::PRESS, P_KEY_F7, 0}, space, escape},
         EditorRequest::QUIT},
        {"a cell put back", {space, {S::CHARACTER, '.', 0}, escape}, EditorRequest::QUIT},
        {"a cleared cell",
         {{S::PRESS, P_KEY_F7, 0}, {S::CHARACTER, '.', 0}, escape},
         EditorRequest::NONE},
        {"saved",
         {{S::PRESS, P_KEY_F7, 0},
          {S::PRESS, P_KEY_DOWN, 0},
          space,
          {S::PRESS, P_KEY_F5, 0},
          escape},
         EditorRequest::QUIT},
        {"loaded over the edits", {space, {S::PRESS, P_KEY_F7, 0}, escape}, EditorRequest::QUIT},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditor();
        M_AllocMap();
        EXPECT_EQ(Run(c.steps), c.last);
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
    struct Case {
        const char *name;
        const char *blockedName;  // made a folder; nullptr for none
        rlim_t sizeLimit;         // RLIM_INFINITY for none
        bool backupWritten;
    };
    const Case cases[] = {
        {"the backup cannot be written", "maps/v2dm1.vsm.bak.tmp", RLIM_INFINITY, false},
        {"the map cannot be written", "maps/v2dm1.vsm.tmp", RLIM_INFINITY, true},
        {"the disk fills up", nullptr, 600, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditor();
        M_AllocMap();
        dir.Write(editorMap.backupPath, olderBackup);
        if (c.blockedName != nullptr) {
            std::filesystem::create_directories(dir.Path(c.blockedName));
        }
        EditorKeyDown(P_KEY_F7, 0, 0);
        EditorKeyDown(P_KEY_DOWN, 0, 0);
        EditorKeyDown(P_KEY_SPACE, 0, 0);

        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit previous = {};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = c.sizeLimit;
        setrlimit(RLIMIT_FSIZE, &limit);
        EditorKeyDown(P_KEY_F5, 0, 5000);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, previousHandler);

        EXPECT_EQ(dir.Read(editorMap.path), OldMap());
        EXPECT_EQ(dir.Read(editorMap.backupPath), c.backupWritten ? OldMap() : olderBackup);
        bool failure = false;
        EXPECT_STREQ(EditorStatus(5000, &failure), "Not saved: maps/v2dm1.vsm is unchanged");
        EXPECT_TRUE(failure);
        EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, 0, 5100), EditorRequest::NONE);
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.tmp"));
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.bak.tmp"));
    }
}

// Cell centres in screen pixels, rows counted from the top: the grid fills the 800 x 600 picture,
// so a cell is 40 x 20 pixels.
int32_t PixelX(int32_t cell) { return cell / M_ROWS * 40 + 20; }
int32_t PixelY(int32_t cell) { return cell % M_ROWS * 20 + 10; }
int32_t CellOf(int32_t column, int32_t row) { return column * M_ROWS + row; }

TEST_F(EditorTest, ThePointerMapsToTheCellUnderIt)
{
    const struct {
        int32_t x, y, cell;
    } cases[] = {
        {0, 0, 0},       {39, 19, 0},     {40, 0, 30},      {0, 20, 1},      {39, 20, 1},
        {400, 300, 315}, {799, 599, 599}, {760, 580, 599},  {800, 0, -1},    {0, 600, -1},
        {-1, 10, -1},    {10, -1, -1},    {-400, -300, -1}, {1600, 300, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(CellAtPixel(c.x, c.y), c.cell);
    }
}

// The first position only tells where the pointer rests: at start the cursor stays on cell 0
// whatever lies under the pointer. Moves off the picture leave the cursor where it was.
TEST_F(EditorTest, ThePointerMovesTheCursorOnceItMoves)
{
    EditorMouseMove(400, 300);
    EXPECT_EQ(editor.cursorCell, 0);
    EditorMouseMove(400, 300);
    EXPECT_EQ(editor.cursorCell, 0);
    EditorMouseMove(401, 300);
    EXPECT_EQ(editor.cursorCell, 315);
    EditorMouseMove(900, 300);
    EXPECT_EQ(editor.cursorCell, 315);
    EditorKeyDown(P_KEY_RIGHT, 0, 0);  // the keys still move it
    EXPECT_EQ(editor.cursorCell, 345);
    for (int32_t i = 0; i < M_CELLS; ++i) {
        ASSERT_EQ(Cell(i), 0) << i;  // moving paints nothing
    }
}

// Left places the current kind, right clears, both paint while dragged, also over cells the
// moves skipped; the wheel steps the kinds as k and m do.
TEST_F(EditorTest, ButtonsPlaceAndClearAlongTheDrag)
{
    const int32_t a = CellOf(2, 3);
    EditorMouseButton(EDITOR_LEFT_BUTTON, true, PixelX(a), PixelY(a));
    EXPECT_EQ(editor.cursorCell, a);
    const int32_t b = CellOf(6, 5);  // four columns and two rows on in one move
    EditorMouseMove(PixelX(b), PixelY(b));
    EditorMouseButton(EDITOR_LEFT_BUTTON, false, PixelX(b), PixelY(b));
    EditorMouseMove(PixelX(CellOf(9, 9)), PixelY(CellOf(9, 9)));  // no button: nothing
    const std::vector<int32_t> line = {CellOf(2, 3), CellOf(3, 4), CellOf(4, 4), CellOf(5, 5),
                                       CellOf(6, 5)};
    for (int32_t i = 0; i < M_CELLS; ++i) {
        const bool onLine = std::find(line.begin(), line.end(), i) != line.end();
        ASSERT_EQ(Cell(i), onLine ? 1 : 0) << "cell " << i;
    }

    EditorMouseWheel(1);
    EXPECT_EQ(editor.currentKind, 2);
    EditorMouseWheel(-2);
    EXPECT_EQ(editor.currentKind, 8);
    EditorMouseWheel(3);
    EXPECT_EQ(editor.currentKind, 3);

    EditorMouseButton(EDITOR_RIGHT_BUTTON, true, PixelX(line[1]), PixelY(line[1]));
    EditorMouseMove(PixelX(line[2]), PixelY(line[2]));
    EditorMouseMove(PixelX(line[3]), PixelY(line[3]));
    EditorMouseButton(EDITOR_RIGHT_BUTTON, false, PixelX(line[3]), PixelY(line[3]));
    const std::vector<int16_t> expected = {1, 0, 0, 0, 1};
    for (size_t i = 0; i < line.size(); ++i) {
        EXPECT_EQ(Cell(line[i]), expected[i]) << i;
    }
    EditorMouseButton(EDITOR_LEFT_BUTTON, true, 900, 10);  // off the picture: nothing
    EditorMouseButton(EDITOR_LEFT_BUTTON, false, 900, 10);
    EXPECT_EQ(Cell(CellOf(19, 0)), 0);
}

// One user action at a time, for the history's tables.
struct Action {
    enum Kind { KEY, CHARACTER, PRESS, MOVE, RELEASE, RIGHT_PRESS, RIGHT_RELEASE } kind;
    uint32_t key;  // key or character; cell for the mouse
    uint32_t modifiers;
};

void Act(const Action &action)
{
    const int32_t cell = int32_t(action.key);
    switch (action.kind) {
    case Action::KEY:
        EditorKeyDown(action.key, action.modifiers, 0);
        EditorKeyUp(action.key);
        break;
    case Action::CHARACTER:
        EditorCharacter(action.key);
        break;
    case Action::PRESS:
    case Action::RELEASE:
        EditorMouseButton(EDITOR_LEFT_BUTTON, action.kind == Action::PRESS, PixelX(cell),
                          PixelY(cell));
        break;
    case Action::RIGHT_PRESS:
    case Action::RIGHT_RELEASE:
        EditorMouseButton(EDITOR_RIGHT_BUTTON, action.kind == Action::RIGHT_PRESS, PixelX(cell),
                          PixelY(cell));
        break;
    case Action::MOVE:
        EditorMouseMove(PixelX(cell), PixelY(cell));
        break;
    }
}

// Every change can be undone and redone, whatever made it: a key, a whole drag (one change), a
// load. A new change drops what was undone before it.
TEST_F(EditorTest, UndoAndRedo)
{
    using A = Action;
    const A space{A::KEY, P_KEY_SPACE, 0};
    const A down{A::KEY, P_KEY_DOWN, 0};
    const A undo{A::KEY, 'Z', EDITOR_CONTROL};
    const A redo{A::KEY, 'Y', EDITOR_CONTROL};
    const A shiftRedo{A::KEY, 'Z', EDITOR_CONTROL | EDITOR_SHIFT};
    struct Case {
        const char *name;
        std::vector<Action> actions;
        std::vector<std::pair<int32_t, int16_t>> cells;  // all other cells are empty
    };
    const Case cases[] = {
        {"a placed brick", {space, undo}, {}},
        {"redo with Ctrl+Y", {space, undo, redo}, {{0, 1}}},
        {"redo with Ctrl+Shift+Z", {space, undo, shiftRedo}, {{0, 1}}},
        {"Z and Y without Ctrl", {space, {A::KEY, 'Z', 0}, {A::KEY, 'Y', 0}}, {{0, 1}}},
        {"Shift+Z without Ctrl", {space, {A::KEY, 'Z', EDITOR_SHIFT}}, {{0, 1}}},
        {"one change at a time", {space, down, space, undo}, {{0, 1}}},
        {"back to the start and on", {space, down, space, undo, undo, undo, redo}, {{0, 1}}},
        {"redo past the end", {space, undo, redo, redo, redo}, {{0, 1}}},
        {"a cleared cell", {space, {A::CHARACTER, '.', 0}, undo}, {{0, 1}}},
        {"a new change drops the undone",
         {space, down, space, undo, undo, down, space, redo},
         {{2, 1}}},
        {"a dropped change never comes back",
         {space, down, space, down, space, undo, {A::CHARACTER, 'k', 0}, space, undo, undo, redo},
         {{0, 1}, {1, 1}}},
        {"the kind a cell holds is no change", {space, space, undo}, {}},
        {"a drag is one change",
         {{A::PRESS, 40, 0}, {A::MOVE, 41, 0}, {A::MOVE, 71, 0}, {A::RELEASE, 71, 0}, undo},
         {}},
        {"a drag comes back whole",
         {{A::PRESS, 40, 0}, {A::MOVE, 41, 0}, {A::RELEASE, 41, 0}, undo, redo},
         {{40, 1}, {41, 1}}},
        {"a drag over its own cells",
         {space,
          {A::RIGHT_PRESS, 0, 0},
          {A::MOVE, 1, 0},
          {A::MOVE, 0, 0},
          {A::RIGHT_RELEASE, 0, 0},
          undo},
         {{0, 1}}},
        {"undo in the middle of a drag ends it",
         {{A::PRESS, 40, 0}, undo, {A::MOVE, 41, 0}, {A::RELEASE, 41, 0}},
         {}},
        {"a click on a held kind keeps the redo",
         {space, undo, {A::RIGHT_PRESS, 5, 0}, {A::RIGHT_RELEASE, 5, 0}, redo},
         {{0, 1}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditor();
        M_AllocMap();
        for (const Action &action : c.actions) {
            Act(action);
        }
        std::vector<int16_t> expected(M_CELLS, 0);
        for (const auto &[index, code] : c.cells) {
            expected[size_t(index)] = code;
        }
        EXPECT_EQ(std::vector<int16_t>(M_GetCells(), M_GetCells() + M_CELLS), expected);
    }
}

TEST_F(EditorTest, NothingToUndoSaysSo)
{
    EditorKeyDown('Z', EDITOR_CONTROL, 100);
    bool failure = true;
    EXPECT_STREQ(EditorStatus(100, &failure), "Nothing to undo");
    EXPECT_FALSE(failure);
    EditorKeyDown('Y', EDITOR_CONTROL, 200);
    EXPECT_STREQ(EditorStatus(200, &failure), "Nothing to redo");
}

TEST_F(EditorTest, GShowsAndHidesGridLines)
{
    EXPECT_FALSE(editor.gridLines);
    EditorKeyDown('G', 0, 0);
    EXPECT_TRUE(editor.gridLines);
    EditorKeyDown('G', EDITOR_CONTROL, 0);
    EXPECT_TRUE(editor.gridLines);
    EditorKeyDown('G', 0, 0);
    EXPECT_FALSE(editor.gridLines);
}

TEST_F(EditorTest, KindsHaveNames)
{
    EXPECT_STREQ(KindName(1), "clay brick");
    EXPECT_STREQ(KindName(7), "rusty grate");
    EXPECT_STREQ(KindName(8), "respawn point");
    EXPECT_STREQ(KindName(0), "?");
    EXPECT_STREQ(KindName(9), "?");
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

// A name on the command line picks maps/NAME.vsm and its backup; a bad one changes nothing.
TEST_F(EditorTest, NamedMapsAreFilesInTheMapsFolder)
{
    EXPECT_STREQ(editorMap.path, "maps/v2dm1.vsm");
    EXPECT_FALSE(editorMap.named);
    ASSERT_TRUE(SetEditorMap("arena"));
    EXPECT_STREQ(editorMap.path, "maps/arena.vsm");
    EXPECT_STREQ(editorMap.backupPath, "maps/arena.vsm.bak");
    EXPECT_TRUE(editorMap.named);
    ASSERT_TRUE(SetEditorMap("Big_Room-2.vsm"));
    EXPECT_STREQ(editorMap.path, "maps/Big_Room-2.vsm");
    for (const char *bad : {"../x", "..", "maps/x", "/tmp/x", "a b", "", "x.vsm.vsm"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(SetEditorMap(bad));
        EXPECT_STREQ(editorMap.path, "maps/Big_Room-2.vsm");
    }
    EXPECT_TRUE(SetEditorMap(nullptr));
    EXPECT_STREQ(editorMap.path, "maps/v2dm1.vsm");
    EXPECT_FALSE(editorMap.named);
}

// A named map that exists is loaded at start and may be saved over at once; one that does not
// starts empty and the first save creates it; one of the wrong size is not loaded, says so, and
// saving over it asks first.
TEST_F(MapGuardTest, NamedMapsOpenAtStart)
{
    const struct {
        const char *name;
        const char *bytes;  // nullptr: no file
        size_t size;
        bool opened;
    } cases[] = {
        {"whole", "whole", M_FILE_SIZE, true},
        {"missing", nullptr, 0, false},
        {"short", "short", M_FILE_SIZE - 2, false},
        {"long", "long", M_FILE_SIZE + 2, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ResetEditor();
        M_AllocMap();
        ASSERT_TRUE(SetEditorMap("arena"));
        std::string file;
        if (c.bytes != nullptr) {
            file = OldMap();
            file.resize(c.size, '\x02');
            dir.Write(editorMap.path, file);
        }
        EXPECT_EQ(OpenEditorMap(1000), c.opened);
        EXPECT_EQ(GridBytes(), c.opened ? OldMap() : std::string(M_FILE_SIZE, '\0'));
        bool failure = false;
        const char *status = EditorStatus(1000, &failure);
        if (c.bytes != nullptr && !c.opened) {
            const std::string expected =
                "maps/arena.vsm is " + std::to_string(c.size) + " bytes, not 1200: not loaded";
            EXPECT_STREQ(status, expected.c_str());
            EXPECT_TRUE(failure);
        }
        EditorKeyDown('Z', EDITOR_CONTROL, 1000);  // the start is no change to undo
        EXPECT_EQ(GridBytes(), c.opened ? OldMap() : std::string(M_FILE_SIZE, '\0'));

        EditorKeyDown(P_KEY_SPACE, 0, 1100);
        EditorKeyUp(P_KEY_SPACE);
        EditorKeyDown(P_KEY_F5, 0, 1200);
        EditorKeyUp(P_KEY_F5);
        const bool asks = c.bytes != nullptr && !c.opened;
        EXPECT_EQ(dir.Read(editorMap.path), asks ? file : GridBytes());
        EXPECT_EQ(MapGuardQuestion(1200) != nullptr, asks);
        if (asks) {
            EXPECT_STREQ(MapGuardQuestion(1200), "Press F5 again to overwrite maps/arena.vsm");
            EditorKeyDown(P_KEY_F5, 0, 1300);
            EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
            EXPECT_EQ(dir.Read(editorMap.backupPath), file);
        }
        std::filesystem::remove(dir.Path(editorMap.path));
        std::filesystem::remove(dir.Path(editorMap.backupPath));
    }
}

// F7 of a named map, like its start, takes only a whole file; the classic map keeps reading a
// short file over the cells.
TEST_F(MapGuardTest, OnlyTheClassicMapLoadsShortFiles)
{
    for (const bool named : {false, true}) {
        SCOPED_TRACE(named ? "named" : "classic");
        ResetEditor();
        M_AllocMap();
        SetEditorMap(named ? "v2dm1" : nullptr);
        dir.Write(editorMap.path, std::string("\x05\x00\x06\x00", 4));
        editor.cursorCell = 5;
        EditorKeyDown(P_KEY_SPACE, 0, 0);
        EditorKeyDown(P_KEY_F7, 0, 0);
        EXPECT_EQ(Cell(0), named ? 0 : 5);
        EXPECT_EQ(Cell(1), named ? 0 : 6);
        EXPECT_EQ(Cell(5), 1);
    }
}

// F9 saves as F5 does, with the same question, and asks for the game only once saved.
TEST_F(MapGuardTest, F9SavesThenPlays)
{
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 1000), EditorRequest::NONE);
    EXPECT_STREQ(MapGuardQuestion(1000), "Press F9 again to overwrite maps/v2dm1.vsm");
    EXPECT_EQ(dir.Read(editorMap.path), OldMap());
    EditorKeyUp(P_KEY_F9);
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 1100), EditorRequest::PLAY);
    EXPECT_EQ(dir.Read(editorMap.path), GridBytes());
    EditorKeyUp(P_KEY_F9);

    std::filesystem::create_directories(dir.Path("maps/v2dm1.vsm.tmp"));  // the save fails
    EditorKeyDown(P_KEY_SPACE, 0, 1200);
    EXPECT_EQ(EditorKeyDown(P_KEY_F9, 0, 1300), EditorRequest::NONE);
    bool failure = false;
    EXPECT_STREQ(EditorStatus(1300, &failure), "Not saved: maps/v2dm1.vsm is unchanged");
    std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.tmp"));
}
}  // namespace
