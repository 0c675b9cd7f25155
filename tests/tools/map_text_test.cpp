#include "tools/datagen/map_text.h"

#include "platform/file.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::vector<std::string> EmptyRows()
{
    return std::vector<std::string>(MAP_ROWS, std::string(MAP_COLUMNS, '.'));
}

std::string Join(const std::vector<std::string> &rows)
{
    std::string text;
    for (const std::string &row : rows) {
        text += row + "\n";
    }
    return text;
}
}  // namespace

// Text row r, column c is cell c x 30 + r: a row-major reading would put these elsewhere.
TEST(MapText, TransposesIntoColumnMajorCells)
{
    const struct {
        int32_t row;
        int32_t column;
        char c;
        int16_t code;
    } marks[] = {
        {0, 0, '1', 1},   {0, 1, '2', 2},  {1, 0, '3', 3},
        {29, 19, 'R', 8}, {14, 5, '7', 7}, {2, 17, '4', 4},
    };
    std::vector<std::string> rows = EmptyRows();
    for (const auto &m : marks) {
        rows[size_t(m.row)][size_t(m.column)] = m.c;
    }
    std::vector<int16_t> cells;
    std::string error;
    ASSERT_TRUE(ParseMapText(Join(rows), &cells, &error)) << error;
    ASSERT_EQ(cells.size(), size_t(MAP_CELLS));
    std::vector<int16_t> expected(MAP_CELLS, 0);
    for (const auto &m : marks) {
        expected[size_t(m.column * 30 + m.row)] = m.code;
    }
    EXPECT_EQ(cells, expected);
}

TEST(MapText, AcceptsCommentsAndWindowsLineEnds)
{
    std::vector<std::string> rows = EmptyRows();
    rows[3][4] = '5';
    std::string text = "# a comment\r\n";
    for (const std::string &row : rows) {
        text += row + "\r\n";
    }
    text += "\n\n";
    std::vector<int16_t> cells;
    std::string error;
    ASSERT_TRUE(ParseMapText(text, &cells, &error)) << error;
    EXPECT_EQ(cells[4 * 30 + 3], 5);
}

TEST(MapText, RejectsBadInputWithTheLine)
{
    const struct {
        const char *what;
        int32_t row;       // row to change, -1 for none
        std::string line;  // its new text
        int32_t rowCount;  // rows in the text
        const char *inError;
    } cases[] = {
        {"short row", 4, std::string(19, '.'), 30, "line 5"},
        {"long row", 0, std::string(21, '.'), 30, "line 1"},
        {"unknown letter", 7, "..x.................", 30, "'x'"},
        {"code 8 written as a digit", 7, "........8...........", 30, "'8'"},
        {"zero for empty", 29, "0...................", 30, "'0'"},
        {"tab", 2, "\t...................", 30, "line 3"},
        {"too few rows", -1, "", 29, "29 rows"},
        {"too many rows", -1, "", 31, "line 31"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> rows(size_t(c.rowCount), std::string(MAP_COLUMNS, '.'));
        if (c.row >= 0) {
            rows[size_t(c.row)] = c.line;
        }
        std::vector<int16_t> cells;
        std::string error;
        EXPECT_FALSE(ParseMapText(Join(rows), &cells, &error));
        EXPECT_NE(error.find(c.inError), std::string::npos) << error;
    }
}

TEST(MapText, EncodesLittleEndianInIndexOrder)
{
    std::vector<int16_t> cells(MAP_CELLS, 0);
    cells[1] = 3;
    cells[31] = CELL_RESPAWN;
    cells[599] = -2;  // never from text, but the writer must keep sign and byte order
    const std::vector<uint8_t> file = EncodeMap(cells);
    ASSERT_EQ(file.size(), 1200u);
    EXPECT_EQ(ReadLE16(&file[2]), 3);
    EXPECT_EQ(ReadLE16(&file[62]), 8);
    EXPECT_EQ(file[1198], 0xfe);
    EXPECT_EQ(file[1199], 0xff);
}

// The shipped arena must load and show what the game relies on: a respawn cell for entry 1 in
// open space above the floor, and every brick kind.
TEST(MapText, ShippedArenaIsPlayable)
{
    std::ifstream in(std::string(VORN_TOOLS_DATA_DIR) + "/v2dm1.map", std::ios::binary);
    ASSERT_TRUE(in) << "tools/data/v2dm1.map is missing";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> cells;
    std::string error;
    ASSERT_TRUE(ParseMapText(text, &cells, &error)) << error;
    std::vector<int32_t> respawns;
    int32_t kinds[9] = {};
    for (int32_t i = 0; i < MAP_CELLS; ++i) {
        if (cells[size_t(i)] == CELL_RESPAWN) {
            respawns.push_back(i);
        }
        ++kinds[cells[size_t(i)]];
    }
    ASSERT_GE(respawns.size(), 2u);
    const int32_t spawnRow = respawns[1] % MAP_ROWS;
    EXPECT_LE(spawnRow, 14) << "players spawn below the floor";
    EXPECT_GE(spawnRow, 10) << "players spawn far above the floor";
    for (int32_t kind = 1; kind <= 7; ++kind) {
        EXPECT_GE(kinds[kind], 2) << "brick kind " << kind;
    }
}
