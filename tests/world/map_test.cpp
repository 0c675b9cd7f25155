#include "world/map.h"

#include "console/console.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
std::vector<std::vector<float>> spawnPointsSeen;  // x, y, index

void RecordSpawnPoint(float x, float y, int32_t index)
{
    spawnPointsSeen.push_back({x, y, float(index)});
}

std::string Cell(int16_t code) { return {char(code & 0xff), char((code >> 8) & 0xff)}; }

// `count` cells of `fill`, with the cells in `special` set apart.
std::vector<int16_t> Grid(int16_t fill, const std::vector<std::pair<int, int16_t>> &special = {},
                          int count = M_CELLS)
{
    std::vector<int16_t> cells(size_t(count), fill);
    for (const auto &[index, code] : special) {
        cells[size_t(index)] = code;
    }
    return cells;
}

std::vector<int16_t> Cells() { return {M_GetCells(), M_GetCells() + M_CELLS}; }

class MapFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        M_AllocMap();
        M_SetSpawnPointHandler(RecordSpawnPoint);
        spawnPointsSeen.clear();
    }
    void TearDown() override { M_FreeMap(); }
    std::string WriteMap(const std::vector<int16_t> &cells)
    {
        std::string bytes;
        for (const int16_t code : cells) {
            bytes += Cell(code);
        }
        return dir.Write("test.vsm", bytes);
    }
    TempDir dir;
};

// Cells run down each column first: bytes 2..3 are the cell below the top-left one, offset 60
// the cell to its right. Indices off the grid change nothing.
TEST_F(MapFileTest, CellsAreColumnMajorAndIndicesOffTheGridAreIgnored)
{
    M_LoadMap(WriteMap(Grid(0, {{0, 3}, {1, 5}, {30, -300}})).c_str());
    EXPECT_EQ(std::vector<int16_t>({M_GetCells()[0], M_GetCells()[1], M_GetCells()[30]}),
              std::vector<int16_t>({3, 5, -300}));
    const CellPosition offGrid = M_CellPosition(-1);
    EXPECT_EQ(offGrid.row, -1);
    EXPECT_NEAR(offGrid.top, 3.2, 1e-9);

    M_AllocMap();
    for (const int32_t index : {-1, 600, INT32_MIN, INT32_MAX}) {
        M_SetCell(index, 5);
    }
    M_SetCell(599, 6);
    EXPECT_EQ(Cells(), Grid(0, {{599, 6}}));
}

// Spawn points come in cell order with a running index, at each respawn cell's top centre; the
// editor's load registers none.
TEST_F(MapFileTest, RespawnCellsBecomeSpawnPointsInCellOrder)
{
    const int32_t before = spawnPointCount;
    M_LoadMap(WriteMap(Grid(0, {{40, 8}, {35, 8}, {0, 8}, {31, 8}, {36, 7}})).c_str());
    ASSERT_EQ(spawnPointCount, before + 4);
    const float b = float(before);
    const std::vector<std::vector<float>> expected = {
        {-3.8f, 3.0f, b}, {-3.4f, 2.8f, b + 1}, {-3.4f, 2.0f, b + 2}, {-3.4f, 1.0f, b + 3}};
    EXPECT_EQ(spawnPointsSeen, expected);
    M_LoadMapEditor(WriteMap(Grid(8)).c_str());
    EXPECT_EQ(spawnPointCount, before + 4);
    EXPECT_EQ(M_GetCells()[599], 8);
}

// A short or overlong file must neither shift, clear nor invent cells. The code -2 (0xfffe on
// disk) also catches a reader with the wrong byte order or signedness.
TEST_F(MapFileTest, FileShorterOrLongerThanTheGrid)
{
    for (const bool editor : {false, true}) {
        for (const int cellsInFile : {0, 1, 599, 601}) {
            SCOPED_TRACE(testing::Message() << cellsInFile << (editor ? " editor" : " game"));
            for (int32_t i = 0; i < M_CELLS; ++i) {
                M_SetCell(i, 7);
            }
            (editor ? M_LoadMapEditor : M_LoadMap)(WriteMap(Grid(-2, {}, cellsInFile)).c_str());
            for (int i = 0; i < M_CELLS; ++i) {
                ASSERT_EQ(M_GetCells()[i], i < cellsInFile ? -2 : 7) << "cell " << i;
            }
        }
    }
    M_SetCell(1, 7);
    M_LoadMap(dir.Write("odd.vsm", Cell(4) + "\x05").c_str());  // half a cell is no cell
    EXPECT_EQ(M_GetCells()[1], 7);
}

TEST_F(MapFileTest, SaveThenLoadReproducesTheGrid)
{
    std::vector<int16_t> cells(M_CELLS);
    for (int32_t i = 0; i < M_CELLS; ++i) {
        cells[size_t(i)] = int16_t(i * 37 - 9000);
        M_SetCell(i, cells[size_t(i)]);
    }
    const std::string path = dir.Path("saved.vsm");
    ASSERT_TRUE(M_SaveMap(path.c_str()));
    const std::string bytes = dir.Read("saved.vsm");
    ASSERT_EQ(bytes.size(), M_FILE_SIZE);
    EXPECT_EQ(bytes.substr(2, 2), Cell(37 - 9000));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    M_AllocMap();
    M_LoadMapEditor(path.c_str());
    EXPECT_EQ(Cells(), cells);
}

// A disk filling up during the save (a file-size limit stands in for it) must leave the old map
// whole; writing over the map directly would have cut it.
TEST_F(MapFileTest, FailedSaveKeepsTheOldFile)
{
    const std::string old(M_FILE_SIZE, '\x01');
    const std::string path = dir.Write("map.vsm", old);
    {
        const FileSizeLimit full(600);
        EXPECT_FALSE(M_SaveMap(path.c_str()));
    }
    EXPECT_EQ(dir.Read("map.vsm"), old);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_FALSE(M_SaveMap(dir.Path("no/such/folder/map.vsm").c_str()));
}

// Changing the map in play takes only a whole map: an overlong or unreadable file
// leaves the grid and the spawn points as they were, with one line each.
TEST_F(MapFileTest, ChangingMapsTakesOnlyAWholeMap)
{
    C_InitText();
    const std::vector<int16_t> inPlay = Grid(2, {{3, 8}, {70, 8}});
    M_LoadPlayableMap(WriteMap(inPlay).c_str());
    const int32_t count = spawnPointCount;
    const std::string longer = dir.Write("long.vsm", std::string(M_FILE_SIZE + 3000, '\x01'));
    const std::string folder = dir.Path("folder.vsm");
    std::filesystem::create_directories(folder);
    const std::pair<std::string, std::string> cases[] = {
        {longer, "Map " + longer + " is 4200 bytes, not 1200: not loaded\n"},
        {folder, "Error: couldn't load map " + folder + "\n"},
    };
    for (const auto &[path, line] : cases) {
        SCOPED_TRACE(path);
        spawnPointsSeen.clear();
        const size_t printed = strlen(C_Text());
        EXPECT_FALSE(M_LoadPlayableMap(path.c_str()));
        EXPECT_EQ(std::string(C_Text() + printed), line);
        EXPECT_EQ(Cells(), inPlay);
        EXPECT_EQ(spawnPointCount, count);
        EXPECT_TRUE(spawnPointsSeen.empty());
    }
}

// A new map's spawn points count again from 0, and the previous map's points are cleared first:
// with a single respawn cell, entry 1 (where both players start) must not keep an old point.
TEST_F(MapFileTest, ChangingMapsRegistersSpawnPointsFromTheStart)
{
    ASSERT_TRUE(M_LoadPlayableMap(WriteMap(Grid(0, {{0, 8}, {31, 8}, {40, 8}})).c_str()));
    ASSERT_EQ(spawnPointCount, 3);
    spawnPointsSeen.clear();
    ASSERT_TRUE(M_LoadPlayableMap(WriteMap(Grid(1, {{35, 8}})).c_str()));
    EXPECT_EQ(spawnPointCount, 1);
    const std::vector<std::vector<float>> expected = {
        {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 2.0f}, {-3.4f, 2.0f, 0.0f}};
    EXPECT_EQ(spawnPointsSeen, expected);
    EXPECT_EQ(Cells(), Grid(1, {{35, 8}}));
}
}  // namespace
