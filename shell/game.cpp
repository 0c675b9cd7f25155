#include "shell/game.h"

#include "console/console.h"
#include "console/input_line.h"
#include "console/registry.h"
#include "input/bindings.h"
#include "platform/events.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/display.h"

namespace {
constexpr uint32_t KEY_F12 = 123;

int32_t videoModeIndex = 1;
int16_t windowActive = 0;
bool gameEnding = false;
uint32_t clockNow = 0;
uint32_t clockPrevious = 0;
int32_t cursorPixel[2] = {0, 0};
WorldPoint cursorWorld = {0.0, 0.0};

void ReportOnConsole(const char *first, const char *second, const char *third)
{
    C_Print(first, second, third, nullptr);
}

void BindDefaultKeys()
{
    ClearBindings();
    BindKey(KEY_F12, Shutdown, false);
}

void StartUp()
{
    P_ShowCursor(false);
    C_Init();
    InitOpenGL();
    C_AddCommand("exit", Shutdown, nullptr);
    C_AddCommand("quit", Shutdown, nullptr);
    BindDefaultKeys();
    P_SetScreenSaverRunning(true);
    windowActive = 1;
}

void OnKeyDown(uint32_t key)
{
    C_KeyEvent(C_KEY_DOWN, key);
    KeyDown(key);
}

void MainWndProc(const P_Message &message)
{
    if (gameEnding && message.message != P_WM_CREATE) {
        return;  // everything is released; only the quit message is left to take
    }
    switch (message.message) {
    case P_WM_CREATE:
        StartUp();
        break;
    case P_WM_DESTROY:
        Shutdown();
        break;
    case P_WM_SIZE:
        ResizeViewport(VIDEO_MODES[videoModeIndex].width, VIDEO_MODES[videoModeIndex].height);
        break;
    case P_WM_ACTIVATE:
        windowActive = int16_t(message.wParam & 0xFFFF);
        break;
    case P_WM_PAINT:
        PaintFrame();
        break;
    case P_WM_CLOSE:
        break;  // the game ends only through Shutdown
    case P_WM_KEYDOWN:
        OnKeyDown(message.wParam);
        break;
    case P_WM_KEYUP:
        KeyUp(message.wParam);
        break;
    case P_WM_CHAR:
        C_KeyEvent(C_CHARACTER, message.wParam);
        break;
    default:
        break;
    }
}

void RunTick()
{
    DispatchHeldKeys();
    if (gameEnding) {
        return;  // F12 ended the game in this tick
    }
    PaintFrame();
}

int RunMainLoop()
{
    P_Message message;
    for (;;) {
        if (!P_PeekMessage(&message)) {
            continue;
        }
        if (!P_GetMessage(&message)) {
            return 1;
        }
        P_DispatchMessage(message);
        if (windowActive != 0 && !gameEnding) {
            RunTick();
        }
    }
}
}  // namespace

void Shutdown()
{
    if (gameEnding) {
        return;  // a held F12 asks again every tick until the quit message is taken
    }
    gameEnding = true;
    C_Execute("con_savelog");
    P_SetScreenSaverRunning(false);
    ReleaseOpenGL();
    C_Shutdown();
    P_PostQuitMessage();
    P_ShowCursor(true);
}

bool GameEnding() { return gameEnding; }

uint32_t FrameDelta()
{
    clockNow = P_Ticks();
    const uint32_t delta = clockNow - clockPrevious;
    clockPrevious = clockNow;
    return delta;
}

WorldPoint CursorToWorld(int32_t x, int32_t y)
{
    return WorldPoint{x / 100.0 - 4.0, -(y / 100.0 - 3.0)};
}

void DrawFrame()
{
    FrameDelta();
    cursorWorld = CursorToWorld(cursorPixel[0], cursorPixel[1]);
}

int WinMain()
{
    if (!P_RegisterClass("Vorn2", MainWndProc)) {
        P_MessageBox("Cannot register window class", "Error");
        return 0;
    }
    InitDisplay(DisplayVariant{DrawFrame, ReportOnConsole, true, true});
    videoModeIndex = 1;
    const VideoMode &mode = VIDEO_MODES[videoModeIndex];
    if (!P_CreateWindow("Vorn II", 0, 0, mode.width, mode.height)) {
        return 0;
    }
    SetVideoMode(videoModeIndex);
    P_UpdateWindow();
    FrameDelta();
    const int result = RunMainLoop();
    P_DestroyWindow();
    return result;
}
