#pragma once

// The one way OpenGL 1.1 and GLU come into the game; keeps the headers' warnings out of ours.
#pragma GCC system_header
#include <GL/gl.h>
#include <GL/glu.h>
