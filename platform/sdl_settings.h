#pragma once

// What the game asks of SDL for its window, context and mixer device. The platform layer and
// the benchmark's bare reference program both take them from here, so the reference measures
// exactly the requests the game makes.

#include <SDL.h>
#include <SDL_mixer.h>

// Without these SDL would fall back to an invisible offscreen window and run for ever.
constexpr char P_VIDEO_DRIVERS[] = "x11,wayland";
// Resizable for the windowed mode; on a high-density screen the drawable gets every pixel.
constexpr Uint32 P_WINDOW_FLAGS =
    SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;

constexpr int P_MIX_RATE = 44100;
constexpr int P_MIX_CHANNELS = 2;
constexpr int P_MIX_BUFFER_FRAMES = 1024;
constexpr int P_MIX_VOICES = 32;  // the game loads nine wave sounds and one music

// Double-buffered RGB8 with depth and stencil, OpenGL 1.1.
inline void P_RequestGLContext()
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
}

// Makes the window full screen at the desktop's own size: the display's mode never changes. The
// window first covers the desktop by itself, because where no window manager acts on the request
// it would keep its size while SDL takes it for the desktop's. 0 on success, as SDL answers.
inline int P_EnterFullscreen(SDL_Window *window)
{
    const int found = SDL_GetWindowDisplayIndex(window);
    SDL_Rect desktop;
    if (SDL_GetDisplayBounds(found < 0 ? 0 : found, &desktop) == 0) {
        SDL_SetWindowBordered(window, SDL_FALSE);
        SDL_SetWindowPosition(window, desktop.x, desktop.y);
        SDL_SetWindowSize(window, desktop.w, desktop.h);
    }
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// Opens the mixer device; the frequency may follow the device, the volume scaling needs 16-bit
// stereo. 0 on success, as SDL_mixer answers.
inline int P_OpenMixerDevice()
{
    return Mix_OpenAudioDevice(P_MIX_RATE, MIX_DEFAULT_FORMAT, P_MIX_CHANNELS, P_MIX_BUFFER_FRAMES,
                               nullptr, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
}
