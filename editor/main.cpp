#include "editor/editor.h"
#include "editor/scene.h"
#include "gfx/font.h"
#include "platform/data_root.h"
#include "platform/events.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/display.h"
#include "world/map.h"
#include "world/world.h"

#include <cstdio>

namespace {
// Not 0, which scripts read as success: without a window nothing was edited.
constexpr int EXIT_NO_WINDOW = 2;
int32_t videoModeIndex = 1;
bool quitting = false;

void LoadBricks()
{
    for (int32_t code = 1; code <= W_BRICK_KINDS; ++code) {
        char path[64];
        snprintf(path, sizeof path, "../basev2/textures/%s", W_BRICK_FILES[code - 1]);
        editorBricks[code].LoadEditor(path);
    }
}

void OnCreate()
{
    InitOpenGL();
    P_ShowCursor(false);
    M_AllocMap();
    editor.kindCount = 8;
    LoadBricks();
    F_Load("../basev2/textures/oth/font.tga");
    P_SetScreenSaverRunning(true);
}

void EditorQuit()
{
    if (quitting) {
        return;  // Escape, a close request and the window's end all arrive here
    }
    quitting = true;
    P_SetScreenSaverRunning(false);
    ReleaseOpenGL();
    M_FreeMap();
    P_PostQuitMessage();
}

void EditorWndProc(const P_Message &message)
{
    if (quitting) {
        return;
    }
    switch (message.message) {
    case P_WM_CREATE:
        OnCreate();
        break;
    case P_WM_DESTROY:
    case P_WM_CLOSE:
        EditorQuit();
        break;
    case P_WM_SIZE:
        ResizeViewport(VIDEO_MODES[videoModeIndex].width, VIDEO_MODES[videoModeIndex].height);
        break;
    case P_WM_PAINT:
        PaintFrame();
        break;
    case P_WM_KEYDOWN:
        if (EditorKeyDown(message.wParam, P_ControlHeld(), P_Ticks()) == EditorRequest::QUIT) {
            EditorQuit();
        }
        break;
    case P_WM_KEYUP:
        EditorKeyUp(message.wParam);
        break;
    case P_WM_CHAR:
        EditorCharacter(message.wParam);
        break;
    default:
        break;
    }
}

int EditorMain()
{
    if (!P_RegisterClass("Vorn2Forge", EditorWndProc)) {
        P_MessageBox("Cannot register window class", "Error");
        return EXIT_NO_WINDOW;
    }
    InitDisplay(DisplayVariant{DrawEditorScene, nullptr, false, false});
    videoModeIndex = 1;
    const VideoMode &mode = VIDEO_MODES[videoModeIndex];
    if (!P_CreateWindow("Vorn2 Forge", 0, 0, mode.width, mode.height)) {
        return EXIT_NO_WINDOW;
    }
    SetVideoMode(videoModeIndex);
    P_UpdateWindow();
    P_Message message;
    for (;;) {
        if (!P_PeekMessage(&message)) {
            continue;
        }
        if (!P_GetMessage(&message)) {
            break;
        }
        P_DispatchMessage(message);
        if (!quitting) {
            PaintFrame();  // the editor paints after every message
        }
    }
    P_DestroyWindow();
    return 1;
}
}  // namespace

int main()
{
    P_EnterDataRoot("../basev2", true);
    return EditorMain();
}
