#pragma once

#include <cstdint>

// Cell codes and the pictures of the bricks, for the game, the editor and the data generator.
constexpr int16_t M_EMPTY = 0;
constexpr int16_t M_FIRST_BRICK = 1;
constexpr int16_t M_LAST_BRICK = 7;
constexpr int16_t M_RESPAWN = 8;

// True for the brick kinds: not empty, not a respawn point, nothing a damaged file brings.
constexpr bool M_IsBrick(int16_t code) { return code >= M_FIRST_BRICK && code <= M_LAST_BRICK; }

// The pictures of cell codes 1 to 8, relative to a data tree's textures folder: the game finds
// them under "basev2/textures/", the editor under "../basev2/textures/".
constexpr int32_t W_BRICK_KINDS = M_RESPAWN;
inline constexpr const char *W_BRICK_FILES[W_BRICK_KINDS] = {
    "briks/br1.bmp", "briks/br2.bmp", "briks/br3.bmp", "briks/br4.bmp",
    "briks/br5.bmp", "briks/br6.bmp", "briks/br7.bmp", "briks/respawn.bmp",
};
