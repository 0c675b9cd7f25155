#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t FONT_ATLAS_SIDE = 256;
constexpr int32_t FONT_CELL = 16;
constexpr uint8_t FONT_INSERT_CURSOR = 11;  // the console's insert-mode cursor

// The console font picture: 256 x 256 coverage bytes, rows top to bottom, 16 x 16 cells of 16
// pixels; code c sits in column c % 16 and row c / 16 from the top. Glyphs are Latin-1 from the
// monospaced face at `fontPath`, centred in their cells on one baseline. Control codes are blank
// except the insert cursor, a solid block. False with a reason in `error` when the font fails.
bool BuildFontAtlas(const char *fontPath, std::vector<uint8_t> *atlas, std::string *error);
