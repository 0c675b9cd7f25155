#pragma once

#include "tools/datagen/raster.h"

// The guns as held, 96 x 64, colour-keyed, muzzle at the right edge and the grip around the left
// third, where the hand's pivot is.
Image PaintRocketLauncher();
Image PaintRailGun();
Image PaintPlasmaGun();
// The flying rocket, 64 x 64, colour-keyed, nose at the left edge and its flame at the right:
// the game mirrors it.
Image PaintRocket();
// The plasma ball, 32 x 32, opaque: glowing blue and violet on pure black, for additive drawing.
Image PaintPlasmaBall();
