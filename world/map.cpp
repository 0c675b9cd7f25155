#include "world/map.h"

#include "console/console.h"
#include "platform/file.h"

#include <cstdio>
#include <cstdlib>

int16_t *mapCells = nullptr;

namespace {
int32_t spawnPoints = 0;
SpawnPointHandler spawnPointHandler = nullptr;

void ReadCells(FILE *file, bool registerSpawnPoints)
{
    uint8_t bytes[2];
    for (int32_t index = 0; index < M_CELLS; ++index) {
        if (fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
            return;  // a short file leaves the cells it does not reach as they were
        }
        const auto code = int16_t(ReadLE16(bytes));
        mapCells[index] = code;
        if (registerSpawnPoints && code == M_RESPAWN) {
            const CellPosition cell = M_CellPosition(index);
            if (spawnPointHandler != nullptr) {
                spawnPointHandler(float(cell.left + M_CELL_WIDTH / 2), float(cell.top),
                                  spawnPoints);
            }
            ++spawnPoints;
        }
    }
}

}  // namespace

const int32_t &spawnPointCount = spawnPoints;

void M_AllocMap()
{
    free(mapCells);
    mapCells = static_cast<int16_t *>(calloc(M_CELLS, sizeof *mapCells));
}

void M_LoadMap(const char *path)
{
    const FilePtr file(fopen(path, "rb"));
    if (!file) {
        C_Print("Error: couldn't load map ", path, "\n", nullptr);
        return;
    }
    if (mapCells != nullptr) {
        ReadCells(file.get(), true);
    }
}

void M_LoadMapEditor(const char *path)
{
    const FilePtr file(fopen(path, "rb"));
    if (file && mapCells != nullptr) {
        ReadCells(file.get(), false);
    }
}

bool M_SaveMap(const char *path)
{
    if (mapCells == nullptr) {
        return false;
    }
    uint8_t bytes[M_FILE_SIZE];
    for (int32_t index = 0; index < M_CELLS; ++index) {
        WriteLE16(bytes + 2 * index, uint16_t(mapCells[index]));
    }
    // Written beside the map and renamed over it: truncating the map first would lose it
    // whenever the write failed.
    return P_ReplaceFile(path, bytes, sizeof bytes);
}

void M_SetCell(int32_t index, int16_t code)
{
    // The editor's cursor can leave the grid; a write there must not land outside it.
    if (mapCells != nullptr && index >= 0 && index < M_CELLS) {
        mapCells[index] = code;
    }
}

const int16_t *M_GetCells() { return mapCells; }

CellPosition M_CellPosition(int32_t index)
{
    const int32_t column = index / M_ROWS;
    const int32_t row = index - column * M_ROWS;
    return CellPosition{column, row, column * M_CELL_WIDTH + M_LEFT, M_TOP - row * M_CELL_HEIGHT};
}

void M_FreeMap()
{
    free(mapCells);
    mapCells = nullptr;
}

void M_SetSpawnPointHandler(SpawnPointHandler handler) { spawnPointHandler = handler; }
