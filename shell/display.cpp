#include "shell/display.h"

#include "platform/events.h"
#include "platform/gl.h"
#include "platform/window.h"

// clang-format off
const VideoMode VIDEO_MODES[VIDEO_MODE_COUNT] = {
    {"640x480",   640,  480,  0},
    {"800x600",   800,  600,  1},
    {"960x720",   960,  720,  2},
    {"1024x768",  1024, 768,  3},
    {"1152x864",  1152, 864,  4},
    {"1280x1024", 1280, 1024, 5},
    {"1600x1200", 1600, 1200, 6},
    {"2048x1536", 2048, 1536, 7},
};
// clang-format on

namespace {
DisplayVariant display = {nullptr, nullptr, false, false, nullptr, nullptr};
bool contextLive = false;

void Report(const char *first, const char *second = nullptr, const char *third = nullptr)
{
    if (display.report != nullptr) {
        display.report(first, second, third);
    }
}
}  // namespace

void InitDisplay(const DisplayVariant &variant) { display = variant; }

void InitOpenGL()
{
    contextLive = P_CreateGLContext();
    if (contextLive) {
        Report("System :\n   OpenGL initialized!\n");
    }
}

void SetVideoMode(int32_t index)
{
    const VideoMode &mode = VIDEO_MODES[index];
    P_RestoreDisplayMode();
    P_ShowWindow(false);
    if (P_SetDisplayMode(mode.width, mode.height)) {
        Report("OpenGL: video mode ", mode.name, " set succesful!\n");
    } else {
        Report("Warning: OpenGL: couldn't set video mode ", mode.name, "\n");
        if (display.restoreAfterFailedMode) {
            P_RestoreDisplayMode();
        }
    }
    ResizeViewport(mode.width, mode.height);
    P_MoveWindow(0, 0, mode.width, mode.height);
    P_ShowWindow(true);
}

void ResizeViewport(int32_t width, int32_t height)
{
    if (!contextLive) {
        return;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-4.0, 4.0, -3.0, 3.0);
    glMatrixMode(GL_MODELVIEW);
}

void PaintFrame()
{
    // Frames come no faster than the platform's frame interval: the game moves per frame.
    if (!contextLive || !P_FrameDue()) {
        return;
    }
    if (display.frameWanted != nullptr && !display.frameWanted()) {
        if (display.advanceScene != nullptr) {
            display.advanceScene();
        }
        P_SkipFrame();
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (display.drawScene != nullptr) {
        display.drawScene();
    }
    glFinish();
    P_SwapBuffers();
    if (display.flushAfterSwap) {
        glFlush();
    }
}

void ReleaseOpenGL()
{
    if (contextLive) {
        P_DeleteGLContext();
        contextLive = false;
    }
    P_PostQuitMessage();
    P_RestoreDisplayMode();
}

int32_t NextVideoMode(int32_t index)
{
    const int32_t next = index >= VIDEO_MODE_COUNT - 1 ? 0 : index + 1;
    SetVideoMode(next);
    return next;
}

void DrawLine(double x1, double y1, double x2, double y2, float width)
{
    glDisable(GL_TEXTURE_2D);
    glPointSize(width);
    glLineWidth(width);
    glBegin(GL_LINES);
    glVertex2d(x1, y1);
    glVertex2d(x2, y2);
    glEnd();
    glLineWidth(1.0f);
}
