#pragma once

#include "tools/datagen/raster.h"

#include <string>

// The main menu's full-screen background, 800 x 600, with the title; the two button areas are
// left calm. False with a reason in `error` when a font cannot be opened.
bool PaintMenuBackground(Image *image, std::string *error);
// A menu button, 256 x 96, colour-keyed: `word` on a framed plate, brighter and glowing when
// `hover` is set.
bool PaintMenuButton(const std::string &word, bool hover, Image *image, std::string *error);
// The menu's mouse pointer, 64 x 64, light on black for additive drawing, centred.
Image PaintMenuCursor();
