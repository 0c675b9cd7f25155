#include "platform/gl.h"
#include "platform/window.h"
#include "tests/gfx/support.h"

#include <cstdlib>

namespace {
void IgnoreMessage(const P_Message &) {}
}  // namespace

bool MakeTestGlContext()
{
    static const bool made = [] {
        // SDL's offscreen driver renders with Mesa in memory, so no display is needed; the
        // variable outranks the drivers the platform asks for.
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        return P_RegisterClass("GfxTest", IgnoreMessage) &&
               P_CreateWindow("GfxTest", 0, 0, 64, 64) && P_CreateGLContext();
    }();
    return made;
}
