#include "editor/editor.h"

#include "editor/scene.h"
#include "platform/keys.h"
#include "tests/support/temp_dir.h"
#include "world/map.h"

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
    EditorKeyDown(P_KEY_SPACE, false);
    EXPECT_EQ(Cell(0), 1);
    EditorCharacter('.');
    EXPECT_EQ(Cell(0), 0);
    EditorCharacter('k');
    EditorKeyDown(P_KEY_DOWN, false);
    EditorKeyDown(P_KEY_ENTER, false);
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
        EXPECT_EQ(EditorKeyDown(c.key, false), EditorRequest::NONE);
        EXPECT_EQ(editor.cursorCell, c.to);
    }
}

TEST_F(EditorTest, NothingIsWrittenWithTheCursorOffTheGrid)
{
    for (const int32_t cell : {-1, -30, 600, 629}) {
        editor.cursorCell = cell;
        EditorKeyDown(P_KEY_SPACE, false);
        EditorCharacter('.');
    }
    for (int32_t i = 0; i < M_CELLS; ++i) {
        ASSERT_EQ(Cell(i), 0) << i;
    }
}

TEST_F(EditorTest, RequestsForTheShell)
{
    EXPECT_EQ(EditorKeyDown(P_KEY_ESCAPE, false), EditorRequest::QUIT);
    EXPECT_EQ(EditorKeyDown(P_KEY_F5, false), EditorRequest::SAVE);
    EXPECT_EQ(EditorKeyDown('S', true), EditorRequest::SAVE);
    EXPECT_EQ(EditorKeyDown('S', false), EditorRequest::NONE);
    EXPECT_EQ(EditorKeyDown(P_KEY_F6, false), EditorRequest::NONE);
}

TEST_F(EditorTest, F7LoadsTheMapOverTheEdits)
{
    TempDir dir;
    WorkingDirectory cwd(dir.Root());
    std::string bytes(1200, '\0');
    bytes[60] = 5;  // the cell right of the top-left one
    dir.Write(EDITOR_MAP_PATH, bytes);
    editor.cursorCell = 2;
    EditorKeyDown(P_KEY_SPACE, false);
    EditorKeyDown(P_KEY_F7, false);
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
}  // namespace
