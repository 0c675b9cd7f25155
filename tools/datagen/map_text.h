#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t MAP_COLUMNS = 20;
constexpr int32_t MAP_ROWS = 30;
constexpr int32_t MAP_CELLS = MAP_COLUMNS * MAP_ROWS;
constexpr int16_t CELL_RESPAWN = 8;

// Reads a map drawn as text: 30 lines of 20 characters, line = row from the top, character =
// column from the left; '.' is empty, '1'..'7' a brick kind, 'R' a respawn point. Lines starting
// with '#' and trailing blank lines are ignored. Fills `cells` (600 codes, column-major: index =
// column x 30 + row). On bad input returns false and puts a one-line reason into `error`.
bool ParseMapText(const std::string &text, std::vector<int16_t> *cells, std::string *error);

// The 1200-byte map file of `cells`: 600 signed 16-bit little-endian codes in index order.
std::vector<uint8_t> EncodeMap(const std::vector<int16_t> &cells);
