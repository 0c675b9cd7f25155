#include "shell/display.h"

#include "platform/events.h"
#include "platform/gl.h"
#include "platform/scaling.h"
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
bool fullscreen = true;
bool windowUp = false;  // SetVideoMode has put the window up: fullscreen changes apply at once
int32_t pictureWidth = 0;
int32_t pictureHeight = 0;

void Report(const char *first, const char *second = nullptr, const char *third = nullptr)
{
    if (display.report != nullptr) {
        display.report(first, second, third);
    }
}

// Where the drawable is not exactly the picture's size, the picture is drawn at its own size
// into a framebuffer object and then scaled onto the drawable in one blit: cheaper than drawing
// every layer at the larger size, and every pixel position of the drawing (text, scissor boxes,
// line widths) stays the picture's own.
GLuint pictureFramebuffer = 0;
GLuint pictureTexture = 0;
bool pictureTargetReady = false;
bool drawingToTarget = false;

void MakePictureTarget()
{
    if (!P_HasFramebuffers()) {
        pictureTargetReady = false;
        return;
    }
    if (pictureFramebuffer == 0) {
        glGenTextures(1, &pictureTexture);
        glGenFramebuffers(1, &pictureFramebuffer);
    }
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, pictureWidth, pictureHeight, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, pictureFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pictureTexture, 0);
    pictureTargetReady = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    drawingToTarget = false;
}

// Scales the picture drawn off-screen into the middle of the drawable, the bars black.
void ShowPicture(int32_t drawableWidth, int32_t drawableHeight)
{
    const P_Rect rect = P_FitPicture(drawableWidth, drawableHeight, pictureWidth, pictureHeight);
    const GLint bottom = drawableHeight - rect.y - rect.height;  // OpenGL counts from the bottom
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlitFramebuffer(0, 0, pictureWidth, pictureHeight, rect.x, bottom, rect.x + rect.width,
                      bottom + rect.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    // The next frame draws off-screen from its first call on, its clear.
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, pictureFramebuffer);
}

void DrawPicture()
{
    int32_t drawableWidth = 0;
    int32_t drawableHeight = 0;
    P_GetDrawableSize(&drawableWidth, &drawableHeight);
    const bool toTarget =
        pictureTargetReady && (drawableWidth != pictureWidth || drawableHeight != pictureHeight);
    if (toTarget != drawingToTarget) {
        glBindFramebuffer(GL_FRAMEBUFFER, toTarget ? pictureFramebuffer : 0);
        drawingToTarget = toTarget;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (display.drawScene != nullptr) {
        display.drawScene();
    }
    if (toTarget) {
        ShowPicture(drawableWidth, drawableHeight);
    }
}

// Full screen, or a window when full screen fails and the variant allows; false when neither
// could be had.
bool PlaceWindow()
{
    if (P_SetFullscreen(fullscreen)) {
        return true;
    }
    return fullscreen && display.windowAfterFailedFullscreen && P_SetFullscreen(false);
}

void ToggleFullscreen() { SetDisplayFullscreen(!fullscreen); }
}  // namespace

void InitDisplay(const DisplayVariant &variant)
{
    display = variant;
    P_SetFullscreenToggle(ToggleFullscreen);
}

void SetDisplayFullscreen(bool on)
{
    fullscreen = on;
    if (windowUp) {
        PlaceWindow();
    }
}

bool DisplayFullscreen() { return fullscreen; }

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
    P_ShowWindow(false);
    pictureWidth = mode.width;
    pictureHeight = mode.height;
    P_SetPictureSize(mode.width, mode.height);
    if (contextLive) {
        MakePictureTarget();
    }
    if (PlaceWindow()) {
        Report("OpenGL: video mode ", mode.name, " set succesful!\n");
    } else {
        Report("Warning: OpenGL: couldn't set video mode ", mode.name, "\n");
    }
    windowUp = true;
    ResizeViewport(mode.width, mode.height);
    P_ShowWindow(true);
}

void ResizeViewport(int32_t width, int32_t height)
{
    if (!contextLive) {
        return;
    }
    if (pictureTargetReady) {
        glViewport(0, 0, width, height);
    } else {
        // Without framebuffer objects the picture is drawn straight at the scaled size. The
        // text, which the font places in viewport pixels, then keeps its own size and place.
        int32_t drawableWidth = 0;
        int32_t drawableHeight = 0;
        P_GetDrawableSize(&drawableWidth, &drawableHeight);
        const P_Rect rect = P_FitPicture(drawableWidth, drawableHeight, width, height);
        glViewport(rect.x, drawableHeight - rect.y - rect.height, rect.width, rect.height);
    }
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
    DrawPicture();
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
