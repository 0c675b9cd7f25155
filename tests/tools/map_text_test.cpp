#include "tools/datagen/map_text.h"

#include "platform/file.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
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

std::vector<int16_t> ShippedCells(const std::string &name)
{
    std::ifstream in(std::string(VORN_TOOLS_DATA_DIR) + "/" + name + ".map", std::ios::binary);
    EXPECT_TRUE(in) << "tools/data/" << name << ".map is missing";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> cells;
    std::string error;
    EXPECT_TRUE(ParseMapText(text, &cells, &error)) << error;
    return cells;
}

// A map as a match plays it, in whole cells: bricks are solid, and so is everything outside the
// grid. A player is 1 column wide and 3 rows tall, and stands on a brick (or the bottom edge)
// with 3 free rows above. A jump lifts a player about 5 rows at 10 ms frames and less at slower
// ones, so a ledge counts as reachable only 3 rows up and 2 columns across, and only when the
// player can rise in the column it jumps from.
class MatchMap {
public:
    using Place = std::pair<int32_t, int32_t>;  // column, and the row whose top the feet are on

    explicit MatchMap(std::vector<int16_t> mapCells) : cells(std::move(mapCells))
    {
        for (int32_t column = 0; column < MAP_COLUMNS; ++column) {
            for (int32_t row = 3; row <= MAP_ROWS; ++row) {
                if (Solid(column, row) && Clear(column, column, row - 3, row - 1)) {
                    standing.insert({column, row});
                }
            }
        }
    }

    bool Solid(int32_t column, int32_t row) const
    {
        if (column < 0 || column >= MAP_COLUMNS || row < 0 || row >= MAP_ROWS) {
            return true;
        }
        const int16_t code = cells[size_t(column * MAP_ROWS + row)];
        return code >= 1 && code <= 7;
    }

    bool Clear(int32_t column0, int32_t column1, int32_t row0, int32_t row1) const
    {
        for (int32_t column = std::min(column0, column1); column <= std::max(column0, column1);
             ++column) {
            for (int32_t row = row0; row <= row1; ++row) {
                if (Solid(column, row)) {
                    return false;
                }
            }
        }
        return true;
    }

    bool Move(const Place &from, const Place &to) const
    {
        const auto [column, row] = from;
        const auto [toColumn, toRow] = to;
        if (from == to || std::abs(toColumn - column) > 2 || toRow < row - 3) {
            return false;
        }
        if (toRow < row) {  // up: rise where it stands, then over the ledge
            return Clear(column, column, toRow - 3, row - 1) &&
                   Clear(column, toColumn, toRow - 3, toRow - 1);
        }
        // Across or down: leave at standing height, then drop in the ledge's column.
        return Clear(column, toColumn, row - 3, row - 1) &&
               Clear(toColumn, toColumn, row - 3, toRow - 1);
    }

    std::set<Place> Reach(const Place &start) const
    {
        std::set<Place> seen = {start};
        std::vector<Place> todo = {start};
        while (!todo.empty()) {
            const Place place = todo.back();
            todo.pop_back();
            for (const Place &next : standing) {
                if (seen.count(next) == 0 && Move(place, next)) {
                    seen.insert(next);
                    todo.push_back(next);
                }
            }
        }
        return seen;
    }

    // Whether a brick lies on the line between players standing at these respawn cells.
    bool Covered(const Place &a, const Place &b) const
    {
        for (int32_t i = 0; i <= 400; ++i) {
            const double t = i / 400.0;
            if (Solid(int32_t(a.first + 0.5 + (b.first - a.first) * t),
                      int32_t(a.second + 0.5 + (b.second - a.second) * t))) {
                return true;
            }
        }
        return false;
    }

    std::set<Place> standing;  // every place a player can stand

private:
    std::vector<int16_t> cells;
};
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
        {0, 1, '2', 2},
        {1, 0, '3', 3},
        {29, 19, 'R', 8},
        {14, 5, '7', 7},
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

// The shipped arena must show what the game relies on: a respawn cell for entry 1 in open space
// above the floor, and every brick kind.
TEST(MapText, ShippedArenaIsPlayable)
{
    const std::vector<int16_t> cells = ShippedCells("v2dm1");
    ASSERT_EQ(cells.size(), size_t(MAP_CELLS));
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

// The maps built for matches: every spawn point on a floor, every ledge reachable from the first
// spawn point and every spawn point back to it, and a brick between each spawn point and the one
// farthest from it, where a match puts the opponent.
TEST(MapText, ShippedMatchMapsArePlayable)
{
    for (const char *name : {"v2dm2", "v2dm3", "v2dm4"}) {
        SCOPED_TRACE(name);
        const std::vector<int16_t> cells = ShippedCells(name);
        ASSERT_EQ(cells.size(), size_t(MAP_CELLS));
        const MatchMap map(cells);
        std::vector<MatchMap::Place> respawns;
        for (int32_t i = 0; i < MAP_CELLS; ++i) {
            if (cells[size_t(i)] == CELL_RESPAWN) {
                respawns.push_back({i / MAP_ROWS, i % MAP_ROWS});
            }
        }
        ASSERT_GE(respawns.size(), 2u);
        std::vector<MatchMap::Place> feet;
        for (const auto &[column, row] : respawns) {
            // One empty row under the point, then the floor: the player drops 0.1 units onto it.
            EXPECT_TRUE(!map.Solid(column, row + 1) && map.standing.count({column, row + 2}) == 1)
                << "respawn point at column " << column << ", row " << row << " is not on a floor";
            feet.push_back({column, row + 2});
        }
        const std::set<MatchMap::Place> reached = map.Reach(feet[0]);
        for (const MatchMap::Place &place : map.standing) {
            EXPECT_EQ(reached.count(place), 1u)
                << "no way up to column " << place.first << ", row " << place.second;
        }
        for (const MatchMap::Place &place : feet) {
            EXPECT_EQ(map.Reach(place).count(feet[0]), 1u)
                << "no way back from column " << place.first << ", row " << place.second;
        }
        for (const MatchMap::Place &a : respawns) {
            MatchMap::Place farthest = a;
            double farthestDistance = 0.0;
            for (const MatchMap::Place &b : respawns) {
                const double dx = (b.first - a.first) * 0.4;
                const double dy = (b.second - a.second) * 0.2;
                if (dx * dx + dy * dy > farthestDistance) {
                    farthestDistance = dx * dx + dy * dy;
                    farthest = b;
                }
            }
            EXPECT_TRUE(map.Covered(a, farthest))
                << "nothing between the respawn points at columns " << a.first << " and "
                << farthest.first;
        }
    }
}
