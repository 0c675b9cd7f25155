#include "shell/frame_shortcuts.h"

#include "console/drop_down.h"
#include "gfx/font.h"
#include "platform/gl.h"
#include "world/static_layers.h"

#include <cmath>

namespace {
constexpr double VIEW_BOTTOM = -3.0;
constexpr double VIEW_HEIGHT = 6.0;

bool shortcuts = true;
}  // namespace

void SetFrameShortcuts(bool on)
{
    shortcuts = on;
    W_KeepStaticLayers(on);
    F_SkipBlankGlyphs(on);
}

bool FrameShortcuts() { return shortcuts; }

int32_t RowsLeftByConsole(int32_t viewportHeight, double coversFrom)
{
    const double edge = (coversFrom - VIEW_BOTTOM) / VIEW_HEIGHT * viewportHeight;
    // Row j's centre is j + 0.5: rows up to floor(edge + 0.5) - 1 may show below the edge.
    const double rows = floor(edge + 0.5) + 1.0;
    if (rows <= 0.0) {
        return 0;
    }
    return rows >= viewportHeight ? viewportHeight : int32_t(rows);
}

bool BeginWorldUnderConsole(uint32_t elapsed)
{
    const double coversFrom = C_CoversFrom(elapsed);
    if (!shortcuts || coversFrom >= -VIEW_BOTTOM) {
        return false;
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport[0], viewport[1], viewport[2], RowsLeftByConsole(viewport[3], coversFrom));
    return true;
}

void EndWorldUnderConsole(bool limited)
{
    if (limited) {
        glDisable(GL_SCISSOR_TEST);
    }
}
