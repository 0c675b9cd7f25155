#pragma once

// The one way OpenGL 1.1 and GLU come into the game; keeps the headers' warnings out of ours.
// The display also draws into a framebuffer object where the driver has them (P_HasFramebuffers).
#pragma GCC system_header
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glu.h>
