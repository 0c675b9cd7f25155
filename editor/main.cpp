#include "editor/editor.h"
#include "editor/map_guard.h"
#include "editor/play.h"
#include "editor/scene.h"
#include "gfx/font.h"
#include "platform/data_root.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/display.h"
#include "world/map.h"
#include "world/world.h"

#include <cstdio>

namespace {
// Not 0, which scripts read as success: without a window nothing was edited.
constexpr int EXIT_NO_WINDOW = 2;
constexpr int EXIT_BAD_NAME = 3;
int32_t videoModeIndex = 1;
bool quitting = false;
bool playing = false;  // the game started by F9 runs; the editor waits, hidden
// Ctrl and Shift as this window's own key messages left them. SDL's modifier state may already
// hold a release still waiting in the queue, which would turn a quick Ctrl+Z into a plain Z.
bool controlDown = false;
bool shiftDown = false;

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
    P_SetPointerMessages(true);
    if (editorMap.named) {
        OpenEditorMap(P_Ticks());
    }
}

void TrackModifier(uint32_t key, bool down)
{
    if (key == P_KEY_CONTROL) {
        controlDown = down;
    } else if (key == P_KEY_SHIFT) {
        shiftDown = down;
    }
}

uint32_t KeyModifiers()
{
    return (controlDown ? EDITOR_CONTROL : 0) | (shiftDown ? EDITOR_SHIFT : 0);
}

// F9 has saved the map: the game plays it while the editor waits out of sight.
void Play()
{
    if (!StartGame(editorMap.name.text)) {
        ShowEditorStatus("Cannot start the game ../Vorn2", true, P_Ticks());
        return;
    }
    EditorFocusLost();
    controlDown = false;  // let go in the game's window
    shiftDown = false;
    playing = true;
    P_ShowWindow(false);
}

// Input meant for the game may still reach the hidden editor: none of it may edit.
bool IsInput(uint32_t message)
{
    switch (message) {
    case P_WM_KEYDOWN:
    case P_WM_KEYUP:
    case P_WM_CHAR:
    case P_WM_MOUSEMOVE:
    case P_WM_LBUTTONDOWN:
    case P_WM_LBUTTONUP:
    case P_WM_RBUTTONDOWN:
    case P_WM_RBUTTONUP:
    case P_WM_MOUSEWHEEL:
        return true;
    default:
        return false;
    }
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
    if (quitting || (playing && IsInput(message.message))) {
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
    case P_WM_ACTIVATE:
        if (message.wParam == 0) {
            EditorFocusLost();
            controlDown = false;  // their key-ups go elsewhere
            shiftDown = false;
        }
        break;
    case P_WM_KEYDOWN:
        TrackModifier(message.wParam, true);
        switch (EditorKeyDown(message.wParam, KeyModifiers(), P_Ticks())) {
        case EditorRequest::QUIT:
            EditorQuit();
            break;
        case EditorRequest::PLAY:
            Play();
            break;
        case EditorRequest::NONE:
            break;
        }
        break;
    case P_WM_KEYUP:
        TrackModifier(message.wParam, false);
        EditorKeyUp(message.wParam);
        break;
    case P_WM_CHAR:
        EditorCharacter(message.wParam);
        break;
    case P_WM_MOUSEMOVE:
        EditorMouseMove(message.x, message.y);
        break;
    case P_WM_LBUTTONDOWN:
    case P_WM_LBUTTONUP:
        EditorMouseButton(EDITOR_LEFT_BUTTON, message.message == P_WM_LBUTTONDOWN, message.x,
                          message.y);
        break;
    case P_WM_RBUTTONDOWN:
    case P_WM_RBUTTONUP:
        EditorMouseButton(EDITOR_RIGHT_BUTTON, message.message == P_WM_RBUTTONDOWN, message.x,
                          message.y);
        break;
    case P_WM_MOUSEWHEEL:
        EditorMouseWheel(int32_t(message.wParam));
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
    InitDisplay(DisplayVariant{DrawEditorScene, nullptr, false, false, nullptr, nullptr});
    videoModeIndex = 1;
    const VideoMode &mode = VIDEO_MODES[videoModeIndex];
    // The editor's own title, naming the map when one was asked for.
    char title[64] = "Vorn2 Forge";
    if (editorMap.named) {
        snprintf(title, sizeof title, "Vorn2 Forge - %s", editorMap.name.text);
    }
    if (!P_CreateWindow(title, 0, 0, mode.width, mode.height)) {
        return EXIT_NO_WINDOW;
    }
    SetVideoMode(videoModeIndex);
    P_UpdateWindow();
    P_Message message;
    for (;;) {
        if (playing && !GameRunning()) {
            playing = false;
            P_ShowWindow(true);
        }
        if (!P_PeekMessage(&message)) {
            continue;
        }
        if (!P_GetMessage(&message)) {
            break;
        }
        P_DispatchMessage(message);
        if (!quitting && !playing) {
            PaintFrame();  // the editor paints after every message
        }
    }
    P_DestroyWindow();
    return 1;
}
}  // namespace

// Vorn2Forge [NAME]: edits maps/NAME.vsm, or the classic maps/v2dm1.vsm without a name.
int main(int argc, char **argv)
{
    if (argc > 2) {
        fprintf(stderr, "usage: Vorn2Forge [NAME]  (edits maps/NAME.vsm)\n");
        return EXIT_BAD_NAME;
    }
    if (!SetEditorMap(argc == 2 ? argv[1] : nullptr)) {
        // Checked before anything is opened or made: a path here could write outside the maps.
        fprintf(stderr,
                "Vorn2Forge: \"%s\" is no map name: use up to %d letters, digits, _ and -\n",
                argv[1], int(M_NAME_MAX));
        return EXIT_BAD_NAME;
    }
    P_EnterDataRoot("../basev2", true);
    return EditorMain();
}
