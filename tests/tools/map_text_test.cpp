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
// Text row r, column c is cell c x 30 + r, written as 600 little-endian codes: a row-major
// reading or a swapped byte would put these elsewhere.
TEST(MapText, ParsesColumnMajorAndEncodesLittleEndian)
{
    std::vector<std::string> rows(MAP_ROWS, std::string(MAP_COLUMNS, '.'));
    rows[0][1] = '2';
    rows[1][0] = '3';
    rows[29][19] = 'R';
    std::string text = "# a comment\r\n";
    for (const std::string &row : rows) {
        text += row + "\r\n";
    }
    std::vector<int16_t> cells;
    std::string error;
    ASSERT_TRUE(ParseMapText(text + "\n\n", &cells, &error)) << error;
    std::vector<int16_t> expected(MAP_CELLS, 0);
    expected[30] = 2;
    expected[1] = 3;
    expected[19 * 30 + 29] = CELL_RESPAWN;
    EXPECT_EQ(cells, expected);
    cells[599] = -2;  // never from text, but the writer must keep the sign
    const std::vector<uint8_t> file = EncodeMap(cells);
    ASSERT_EQ(file.size(), 1200u);
    EXPECT_EQ(ReadLE16(&file[60]), 2);
    EXPECT_EQ(file[1198], 0xfe);
    EXPECT_EQ(file[1199], 0xff);
}

// In whole cells: a player is 1 column wide and 3 rows tall and stands on a brick or the bottom
// edge. A jump lifts about 5 rows at 10 ms frames and less at slower ones, so a ledge counts as
// reachable only 3 rows up and 2 columns across, rising in the column it jumps from.
TEST(MapText, ShippedMapsArePlayable)
{
    for (const char *name : {"v2dm1", "v2dm2", "v2dm3", "v2dm4"}) {
        SCOPED_TRACE(name);
        std::ifstream in(std::string(VORN_TOOLS_DATA_DIR) + "/" + name + ".map");
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::vector<int16_t> cells;
        std::string error;
        ASSERT_TRUE(ParseMapText(text, &cells, &error)) << error;
        const auto solid = [&](int32_t column, int32_t row) {
            return column < 0 || column >= MAP_COLUMNS || row < 0 || row >= MAP_ROWS ||
                   (cells[size_t(column * MAP_ROWS + row)] >= 1 &&
                    cells[size_t(column * MAP_ROWS + row)] <= 7);
        };
        const auto clear = [&](int32_t column0, int32_t column1, int32_t row0, int32_t row1) {
            for (int32_t c = std::min(column0, column1); c <= std::max(column0, column1); ++c) {
                for (int32_t r = row0; r <= row1; ++r) {
                    if (solid(c, r)) {
                        return false;
                    }
                }
            }
            return true;
        };
        using Place = std::pair<int32_t, int32_t>;  // column, row the feet stand on
        std::set<Place> standing;
        for (int32_t column = 0; column < MAP_COLUMNS; ++column) {
            for (int32_t row = 3; row <= MAP_ROWS; ++row) {
                if (solid(column, row) && clear(column, column, row - 3, row - 1)) {
                    standing.insert({column, row});
                }
            }
        }
        // One empty row under a respawn point, then the floor: the player drops onto it.
        std::vector<Place> spawns;
        for (int32_t i = 0; i < MAP_CELLS; ++i) {
            if (cells[size_t(i)] == CELL_RESPAWN) {
                const Place feet = {i / MAP_ROWS, i % MAP_ROWS + 2};
                EXPECT_TRUE(!solid(feet.first, feet.second - 1) && standing.count(feet) == 1)
                    << "respawn point at column " << feet.first << " is not on a floor";
                spawns.push_back(feet);
            }
        }
        ASSERT_GE(spawns.size(), 2u);
        const auto reach = [&](const Place &start) {
            std::set<Place> seen = {start};
            std::vector<Place> todo = {start};
            while (!todo.empty()) {
                const auto [column, row] = todo.back();
                todo.pop_back();
                for (const Place &next : standing) {
                    const auto [toColumn, toRow] = next;
                    if (seen.count(next) != 0 || std::abs(toColumn - column) > 2 ||
                        toRow < row - 3) {
                        continue;
                    }
                    // Up: rise where it stands, then over the ledge; otherwise leave at standing
                    // height, then drop in the ledge's column.
                    if (toRow < row ? clear(column, column, toRow - 3, row - 1) &&
                                          clear(column, toColumn, toRow - 3, toRow - 1)
                                    : clear(column, toColumn, row - 3, row - 1) &&
                                          clear(toColumn, toColumn, row - 3, toRow - 1)) {
                        seen.insert(next);
                        todo.push_back(next);
                    }
                }
            }
            return seen;
        };
        // The arena's floor hides closed rooms; on the match maps every ledge must be in play.
        const std::set<Place> reached = reach(spawns[0]);
        for (const Place &place : standing) {
            EXPECT_TRUE(reached.count(place) == 1 || std::string(name) == "v2dm1")
                << "no way to column " << place.first << ", row " << place.second;
        }
        for (const Place &place : spawns) {
            EXPECT_EQ(reached.count(place), 1u) << "no way to column " << place.first;
            EXPECT_EQ(reach(place).count(spawns[0]), 1u) << "no way back from " << place.first;
        }
    }
}
}  // namespace
