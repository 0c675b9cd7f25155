// M_LoadMap and M_LoadMapEditor over arbitrary files: cells come from the file in order, cells
// past its end keep their codes, and respawn cells are announced inside the arena.
#include "tests/fuzz/fuzz_input.h"
#include "world/map.h"

#include <cstdlib>
#include <cstring>

namespace {
constexpr int16_t UNTOUCHED = 0x5a5a;  // every cell before a load; past the file's end it stays
int32_t announced = 0;

void CheckSpawnPoint(float x, float y, int32_t /*index*/)
{
    // The centre of a cell and its top edge, both inside the arena.
    if (!(x > float(M_LEFT) && x < float(-M_LEFT) && y <= float(M_TOP) && y > float(-M_TOP))) {
        abort();
    }
    ++announced;
}

void CheckCells(const uint8_t *data, size_t size)
{
    const int16_t *const cells = M_GetCells();
    for (int32_t index = 0; index < M_CELLS; ++index) {
        const size_t at = size_t(index) * 2;
        const int16_t expected =
            at + 2 <= size ? int16_t(uint16_t(data[at] | (data[at + 1] << 8))) : UNTOUCHED;
        if (cells[index] != expected) {
            abort();
        }
    }
}

void Fill()
{
    for (int32_t index = 0; index < M_CELLS; ++index) {
        M_SetCell(index, UNTOUCHED);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (M_GetCells() == nullptr) {
        M_AllocMap();
        M_SetSpawnPointHandler(CheckSpawnPoint);
    }
    const char *const path = FuzzInputPath(data, size);
    int32_t respawns = 0;
    for (size_t at = 0; at + 2 <= size && at < M_FILE_SIZE; at += 2) {
        respawns += (data[at] | (data[at + 1] << 8)) == M_RESPAWN;
    }

    Fill();
    announced = 0;
    M_LoadMap(path);
    CheckCells(data, size);
    if (announced != respawns) {
        abort();
    }

    Fill();
    M_LoadMapEditor(path);
    CheckCells(data, size);
    if (announced != respawns) {
        abort();  // the editor's load registers none
    }
    return 0;
}
