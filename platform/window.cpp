#include "platform/window.h"

#include "platform/scaling.h"
#include "platform/sdl_settings.h"
#include "platform/window_internal.h"

#include <cstdio>
#include <cstring>

namespace {
P_WindowProc windowProc = nullptr;
SDL_Window *window = nullptr;
SDL_GLContext glContext = nullptr;
bool windowShown = false;
bool videoStarted = false;
void (*presentHook)() = nullptr;
int32_t pictureWidth = 0;  // 0 until the display sets it: the pointer then speaks window points
int32_t pictureHeight = 0;
P_Warp lastWarp = {};
bool haveWarp = false;

P_Scaling CurrentScaling()
{
    P_Scaling scaling = {0, 0, 0, 0, pictureWidth, pictureHeight};
    SDL_GetWindowSize(window, &scaling.windowWidth, &scaling.windowHeight);
    SDL_GL_GetDrawableSize(window, &scaling.drawableWidth, &scaling.drawableHeight);
    return scaling;
}
}  // namespace

P_WindowProc P_WindowProcedure() { return windowProc; }

bool P_WindowShown() { return windowShown; }

bool P_RegisterClass(const char *className, P_WindowProc proc)
{
    SDL_SetHint(SDL_HINT_VIDEODRIVER, P_VIDEO_DRIVERS);
    // Ctrl+C and kill are ours to catch (P_CatchStopSignals): SDL's would be a close request,
    // which the game ignores.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Leaving a full-screen game for another window must not minimise it.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        fprintf(stderr, "%s: no display to open a window on (%s)\n", className, SDL_GetError());
        return false;
    }
    videoStarted = true;
    windowProc = proc;
    P_ResetQueue();
    P_CatchStopSignals();
    return true;
}

bool P_CreateWindow(const char *title, int32_t x, int32_t y, int32_t width, int32_t height)
{
    P_RequestGLContext();
    window = SDL_CreateWindow(title, x, y, width, height, P_WINDOW_FLAGS | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        fprintf(stderr, "%s: cannot create the window (%s)\n", title, SDL_GetError());
        return false;
    }
    P_SendMessage(P_WM_CREATE, 0);
    return true;
}

void P_DestroyWindow()
{
    P_DeleteGLContext();
    if (window != nullptr) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    windowShown = false;
    if (videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
        videoStarted = false;
    }
}

bool P_CreateGLContext()
{
    if (window == nullptr) {
        return false;
    }
    glContext = SDL_GL_CreateContext(window);
    if (glContext == nullptr) {
        fprintf(stderr, "OpenGL: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(window, glContext);
    // The game paces itself; waiting for the screen's refresh would slow its per-frame physics.
    SDL_GL_SetSwapInterval(0);
    return true;
}

void P_DeleteGLContext()
{
    if (glContext != nullptr) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
}

bool P_HasFramebuffers()
{
    return glContext != nullptr && SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object");
}

void P_ShowWindow(bool show)
{
    if (window == nullptr) {
        return;
    }
    if (!show) {
        SDL_HideWindow(window);
        windowShown = false;
        return;
    }
    SDL_ShowWindow(window);
    windowShown = true;
    int32_t width = 0;
    int32_t height = 0;
    SDL_GetWindowSize(window, &width, &height);
    P_SendMessage(P_WM_SIZE, uint32_t(width) | (uint32_t(height) << 16));
    P_SendMessage(P_WM_ACTIVATE, 1);
}

void P_UpdateWindow()
{
    if (windowShown) {
        P_SendMessage(P_WM_PAINT, 0);
    }
}

void P_SetPictureSize(int32_t width, int32_t height)
{
    pictureWidth = width;
    pictureHeight = height;
    haveWarp = false;
}

bool P_SetFullscreen(bool fullscreen)
{
    if (window == nullptr) {
        return false;
    }
    haveWarp = false;
    const int found = SDL_GetWindowDisplayIndex(window);
    const int display = found < 0 ? 0 : found;
    if (fullscreen) {
        return P_EnterFullscreen(window) == 0;
    }
    if (SDL_SetWindowFullscreen(window, 0) != 0) {
        return false;
    }
    int32_t width = pictureWidth;
    int32_t height = pictureHeight;
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0) {
        P_WindowedSize(desktop.w, desktop.h, pictureWidth, pictureHeight, &width, &height);
    }
    SDL_SetWindowBordered(window, SDL_TRUE);
    // Set every time: leaving full screen keeps the full-screen size where no window manager
    // gives the old one back.
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, int(SDL_WINDOWPOS_CENTERED_DISPLAY(display)),
                          int(SDL_WINDOWPOS_CENTERED_DISPLAY(display)));
    int32_t madeWidth = 0;
    int32_t madeHeight = 0;
    SDL_GetWindowSize(window, &madeWidth, &madeHeight);
    return madeWidth > 0 && madeHeight > 0;
}

void P_GetDrawableSize(int32_t *width, int32_t *height)
{
    *width = 0;
    *height = 0;
    if (window != nullptr) {
        SDL_GL_GetDrawableSize(window, width, height);
    }
}

void P_ShowCursor(bool show)
{
    if (videoStarted) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

void P_MapPointer(int32_t x, int32_t y, int32_t *pictureX, int32_t *pictureY)
{
    if (window == nullptr || pictureWidth <= 0 || pictureHeight <= 0) {
        *pictureX = x;
        *pictureY = y;
        return;
    }
    P_PointerToPicture(CurrentScaling(), haveWarp ? &lastWarp : nullptr, x, y, pictureX, pictureY);
}

void P_GetCursorPos(int32_t *x, int32_t *y)
{
    int32_t pointX = 0;
    int32_t pointY = 0;
    SDL_GetMouseState(&pointX, &pointY);
    P_MapPointer(pointX, pointY, x, y);
}

void P_SetCursorPos(int32_t x, int32_t y)
{
    if (window == nullptr) {
        return;
    }
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        SDL_WarpMouseInWindow(window, x, y);
        return;
    }
    lastWarp = P_MakeWarp(CurrentScaling(), x, y);
    haveWarp = true;
    SDL_WarpMouseInWindow(window, lastWarp.x, lastWarp.y);
}

void P_SetScreenSaverRunning(bool on)
{
    if (!videoStarted) {
        return;
    }
    if (on) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

bool P_ControlHeld() { return (SDL_GetModState() & KMOD_CTRL) != 0; }

void P_MessageBox(const char *text, const char *caption)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, SDL_GetKeyboardFocus()) !=
        0) {
        fprintf(stderr, "%s: %s\n", caption, text);
    }
}

void P_SwapBuffers()
{
    if (window != nullptr) {
        SDL_GL_SwapWindow(window);
    }
    P_NoteFramePresented();
    P_CallPresentHook();
}

void P_CallPresentHook()
{
    if (presentHook != nullptr) {
        presentHook();
    }
}

void P_SetPresentHook(void (*hook)()) { presentHook = hook; }
