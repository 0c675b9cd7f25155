#include "platform/window.h"

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

void P_MoveWindow(int32_t x, int32_t y, int32_t width, int32_t height)
{
    if (window == nullptr) {
        return;
    }
    SDL_SetWindowPosition(window, x, y);
    SDL_SetWindowSize(window, width, height);
}

bool P_SetDisplayMode(int32_t width, int32_t height)
{
    if (window == nullptr) {
        return false;
    }
    const SDL_DisplayMode wanted = {0, width, height, 0, nullptr};
    SDL_DisplayMode closest;
    const int display = SDL_GetWindowDisplayIndex(window);
    // Only an exact mode will do: a larger one would leave the fixed-size picture in a corner.
    if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest) == nullptr ||
        closest.w != width || closest.h != height) {
        return false;
    }
    // A borderless window already covers a desktop of that size; switching would only make the
    // screen flicker and wait on the window manager.
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &desktop) == 0 && desktop.w == width &&
        desktop.h == height) {
        return true;
    }
    if (SDL_SetWindowDisplayMode(window, &closest) != 0) {
        return false;
    }
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

void P_RestoreDisplayMode()
{
    if (window != nullptr) {
        SDL_SetWindowFullscreen(window, 0);
    }
}

void P_ShowCursor(bool show)
{
    if (videoStarted) {
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    }
}

void P_GetCursorPos(int32_t *x, int32_t *y) { SDL_GetMouseState(x, y); }

void P_SetCursorPos(int32_t x, int32_t y)
{
    if (window != nullptr) {
        SDL_WarpMouseInWindow(window, x, y);
    }
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
