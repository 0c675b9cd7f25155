#pragma once

#include "world/bricks.h"

#include <cstddef>
#include <cstdint>

// The arena: 20 columns by 30 rows of cell codes covering x -4..4 and y -3..3. Cells are stored
// column by column, each column top to bottom: index = column x 30 + row.
constexpr int32_t M_COLUMNS = 20;
constexpr int32_t M_ROWS = 30;
constexpr int32_t M_CELLS = M_COLUMNS * M_ROWS;
constexpr double M_CELL_WIDTH = 0.4;
constexpr double M_CELL_HEIGHT = 0.2;
constexpr double M_LEFT = -4.0;  // left edge of column 0
constexpr double M_TOP = 3.0;    // top edge of row 0
// A map file is the cells in index order, signed 16-bit little-endian, and nothing else.
constexpr size_t M_FILE_SIZE = 2 * M_CELLS;

struct CellPosition {
    int32_t column;
    int32_t row;
    double left;  // world units
    double top;
};

// Called once per respawn cell while the game loads a map: the cell's horizontal centre, its top
// edge and the running spawn-point index.
using SpawnPointHandler = void (*)(float x, float y, int32_t index);

// The grid, M_CELLS codes; null until M_AllocMap.
extern int16_t *mapCells;

// Spawn points registered for the map in play: M_LoadMap adds to them, M_LoadPlayableMap starts
// them again from 0.
extern const int32_t &spawnPointCount;

// Allocates the grid zero-filled, replacing any grid already there.
void M_AllocMap();

// The game's load: reads up to 600 cells from `path` (cells a short file does not reach keep
// their codes) and registers every respawn cell. A missing file prints one console line.
void M_LoadMap(const char *path);

// The editor's load: the same reading over the current grid, silent, no spawn points.
void M_LoadMapEditor(const char *path);

// What M_ReadMapFile found.
enum class M_ReadResult { WHOLE, MISSING, WRONG_SIZE };

// Reads the map file at `path` into `cells` (M_CELLS codes) when it is exactly M_FILE_SIZE
// bytes, and leaves `cells` alone otherwise. MISSING also covers a file that cannot be read;
// for WRONG_SIZE, `size` gets the file's size in bytes.
M_ReadResult M_ReadMapFile(const char *path, int16_t *cells, long *size);

// The game's change of map: the file at `path` replaces the grid only when it is a whole map.
// Spawn points are registered again from index 0, after every point of the previous map has been
// handed (0, 0), so a map with fewer respawn cells keeps none of them. Otherwise one console line
// (the classic one for a missing file) and false, with the grid and spawn points as they were.
bool M_LoadPlayableMap(const char *path);

// Writes the grid as a 1200-byte map file. The old file is replaced only once the new one is
// complete, so a failed save (false) leaves it as it was.
bool M_SaveMap(const char *path);

// Stores one code; indices outside 0..599 are ignored.
void M_SetCell(int32_t index, int16_t code);

// The grid for reading; null before M_AllocMap.
const int16_t *M_GetCells();

// Column, row and top-left corner of cell `index`, by plain arithmetic (also outside the grid).
CellPosition M_CellPosition(int32_t index);

void M_FreeMap();

// Who receives the spawn points of M_LoadMap; nullptr (the start value) receives none.
void M_SetSpawnPointHandler(SpawnPointHandler handler);
