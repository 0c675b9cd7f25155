#include "editor/editor.h"

#include "editor/map_guard.h"
#include "editor/scene.h"
#include "platform/keys.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

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
    EditorKeyDown(P_KEY_SPACE, false, 0);
    EXPECT_EQ(Cell(0), 1);
    EditorCharacter('.');
    EXPECT_EQ(Cell(0), 0);
    EditorCharacter('k');
    EditorKeyDown(P_KEY_DOWN, false, 0);
    EditorKeyDown(P_KEY_ENTER, false, 0);
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
        EXPECT_EQ(EditorKeyDown(c.key, false, 0), EditorRequest::NONE);
        EXPECT_EQ(editor.cursorCell, c.to);
    }
}

TEST_F(EditorTest, NothingIsWrittenWithTheCursorOffTheGrid)
{
    for (const int32_t cell : {-1, -30, 600, 629}) {
        editor.cursorCell = cell;
        EditorKeyDown(P_KEY_SPACE, false, 0);
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
    dir.Write(EDITOR_MAP_PATH, bytes);
    editor.cursorCell = 2;
    EditorKeyDown(P_KEY_SPACE, false, 0);
    EditorKeyDown(P_KEY_F7, false, 0);
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
            last = EditorKeyDown(step.key, step.kind == Step::CTRL_PRESS, step.at);
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
        dir.Write(EDITOR_MAP_PATH, OldMap());
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
        dir.Write(EDITOR_MAP_PATH, OldMap());
        std::filesystem::remove(dir.Path(EDITOR_BACKUP_PATH));
        Run(c.steps);
        const uint32_t end = c.steps.back().at;
        if (c.saved) {
            EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), GridBytes());
            EXPECT_EQ(dir.Read(EDITOR_BACKUP_PATH), OldMap());
            EXPECT_EQ(MapGuardQuestion(end), nullptr);
        } else {
            EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), OldMap());
            EXPECT_FALSE(Exists(EDITOR_BACKUP_PATH));
        }
    }
}

TEST_F(MapGuardTest, TheQuestionNamesItsKeyAndLastsThreeSeconds)
{
    EditorKeyDown(P_KEY_F5, false, 1000);
    ASSERT_NE(MapGuardQuestion(1000), nullptr);
    EXPECT_STREQ(MapGuardQuestion(3999), "Press F5 again to overwrite maps/v2dm1.vsm");
    EXPECT_EQ(MapGuardQuestion(4000), nullptr);
    EditorKeyDown('S', true, 5000);
    EXPECT_STREQ(MapGuardQuestion(5000), "Press Ctrl+S again to overwrite maps/v2dm1.vsm");
}

// With no map file there is nothing to overwrite, and F7 loads nothing: the edits stay unsaved.
TEST_F(MapGuardTest, WithoutAMapFile)
{
    std::filesystem::remove(dir.Path(EDITOR_MAP_PATH));
    EditorKeyDown(P_KEY_SPACE, false, 1000);
    EditorKeyDown(P_KEY_F7, false, 1100);
    EXPECT_EQ(Cell(0), 1);
    EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, false, 1200), EditorRequest::NONE);
    EditorKeyDown(P_KEY_F5, false, 1300);
    EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), GridBytes());
    EXPECT_FALSE(Exists(EDITOR_BACKUP_PATH));
}

// The backup holds the replaced file byte for byte, whatever it held, one generation deep.
TEST_F(MapGuardTest, EverySaveKeepsThePreviousFile)
{
    const std::string odd = "not a map, 19 bytes";
    dir.Write(EDITOR_MAP_PATH, odd);
    EditorKeyDown(P_KEY_F7, false, 0);
    EditorKeyDown(P_KEY_SPACE, false, 0);
    EditorKeyDown(P_KEY_F5, false, 0);
    const std::string first = GridBytes();
    EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), first);
    EXPECT_EQ(dir.Read(EDITOR_BACKUP_PATH), odd);
    EditorKeyDown(P_KEY_DOWN, false, 0);
    EditorKeyDown(P_KEY_SPACE, false, 0);
    EditorKeyDown(P_KEY_F5, false, 0);
    EXPECT_NE(GridBytes(), first);
    EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), GridBytes());
    EXPECT_EQ(dir.Read(EDITOR_BACKUP_PATH), first);
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
        dir.Write(EDITOR_BACKUP_PATH, olderBackup);
        if (c.blockedName != nullptr) {
            std::filesystem::create_directories(dir.Path(c.blockedName));
        }
        EditorKeyDown(P_KEY_F7, false, 0);
        EditorKeyDown(P_KEY_DOWN, false, 0);
        EditorKeyDown(P_KEY_SPACE, false, 0);

        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit previous = {};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = c.sizeLimit;
        setrlimit(RLIMIT_FSIZE, &limit);
        EditorKeyDown(P_KEY_F5, false, 5000);
        setrlimit(RLIMIT_FSIZE, &previous);
        signal(SIGXFSZ, previousHandler);

        EXPECT_EQ(dir.Read(EDITOR_MAP_PATH), OldMap());
        EXPECT_EQ(dir.Read(EDITOR_BACKUP_PATH), c.backupWritten ? OldMap() : olderBackup);
        bool failure = false;
        EXPECT_STREQ(EditorStatus(5000, &failure), "Not saved: maps/v2dm1.vsm is unchanged");
        EXPECT_TRUE(failure);
        EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, false, 5100), EditorRequest::NONE);
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.tmp"));
        std::filesystem::remove_all(dir.Path("maps/v2dm1.vsm.bak.tmp"));
    }
}
}  // namespace
