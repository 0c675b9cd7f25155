#include "world/map.h"

#include "console/console.h"
#include "platform/file.h"

#include <cstdio>
#include <cstdlib>

int16_t *mapCells = nullptr;

namespace {
int32_t spawnPoints = 0;
SpawnPointHandler spawnPointHandler = nullptr;

void RegisterSpawnPoint(int32_t index)
{
    const CellPosition cell = M_CellPosition(index);
    if (spawnPointHandler != nullptr) {
        spawnPointHandler(float(cell.left + M_CELL_WIDTH / 2), float(cell.top), spawnPoints);
    }
    ++spawnPoints;
}

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
            RegisterSpawnPoint(index);
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

M_ReadResult M_ReadMapFile(const char *path, int16_t *cells, long *size)
{
    const FilePtr file(fopen(path, "rb"));
    if (!file) {
        return M_ReadResult::MISSING;
    }
    uint8_t bytes[M_FILE_SIZE + 1];  // one more than a map, to tell a longer file
    const size_t got = fread(bytes, 1, sizeof bytes, file.get());
    if (ferror(file.get()) != 0) {
        return M_ReadResult::MISSING;  // a folder of that name, say
    }
    if (got != M_FILE_SIZE) {
        *size = long(got);
        if (got > M_FILE_SIZE && fseek(file.get(), 0, SEEK_END) == 0) {
            *size = ftell(file.get());
        }
        return M_ReadResult::WRONG_SIZE;
    }
    for (int32_t index = 0; index < M_CELLS; ++index) {
        cells[index] = int16_t(ReadLE16(bytes + 2 * index));
    }
    return M_ReadResult::WHOLE;
}

bool M_LoadPlayableMap(const char *path)
{
    int16_t cells[M_CELLS];
    long size = 0;
    const M_ReadResult result = M_ReadMapFile(path, cells, &size);
    if (result == M_ReadResult::MISSING) {
        C_Print("Error: couldn't load map ", path, "\n", nullptr);
        return false;
    }
    if (result == M_ReadResult::WRONG_SIZE) {
        // Only a whole map is played: a cut or padded file is more likely damage than a map.
        char bytes[24];
        snprintf(bytes, sizeof bytes, "%ld", size);
        C_Print("Map ", path, " is ", bytes, " bytes, not 1200: not loaded\n", nullptr);
        return false;
    }
    if (mapCells == nullptr) {
        return false;
    }
    if (spawnPointHandler != nullptr) {
        for (int32_t index = 0; index < spawnPoints; ++index) {
            spawnPointHandler(0.0f, 0.0f, index);
        }
    }
    spawnPoints = 0;
    for (int32_t index = 0; index < M_CELLS; ++index) {
        mapCells[index] = cells[index];
        if (cells[index] == M_RESPAWN) {
            RegisterSpawnPoint(index);
        }
    }
    return true;
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
