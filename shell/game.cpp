#include "shell/game.h"

#include "audio/sound.h"
#include "console/commands.h"
#include "console/console.h"
#include "console/drop_down.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "gameplay/player.h"
#include "gameplay/weapons.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "input/actions.h"
#include "input/bindings.h"
#include "input/mouse.h"
#include "input/pad.h"
#include "menu/menu.h"
#include "platform/events.h"
#include "platform/keys.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/demo.h"
#include "shell/display.h"
#include "shell/extensions.h"
#include "shell/frame_shortcuts.h"
#include "shell/still_frames.h"
#include "world/map.h"
#include "world/static_layers.h"
#include "world/world.h"

#include <cstdio>

namespace {
constexpr int32_t BRICK_SLOTS = W_BRICK_KINDS + 1;  // slot 0 is never loaded: slots are cell codes
constexpr char CREDIT_AUTHORS[] = "Vorn II - made by the Vorn2 team, Anvil Works";
constexpr char CREDIT_SITE[] = "http://vorn2.example.org";
// Not 0, which scripts read as success: without a window nothing was played.
constexpr int EXIT_NO_WINDOW = 2;

int32_t videoModeIndex = 1;
int16_t windowActive = 0;
bool gameEnding = false;
bool musicPending = true;  // leaving the menu the first time starts the music
uint32_t clockNow = 0;
uint32_t clockPrevious = 0;
double cursorWorld[2] = {0.0, 0.0};
float mouseAimDivisor = 0.0f;
void (*startUpExtension)() = nullptr;

Sound music;
T_Texture brickTextures[BRICK_SLOTS];
int32_t brickTextureCount = 0;
T_Texture backgroundTextures[1];
int32_t backgroundIndex = 0;

void ReportOnConsole(const char *first, const char *second, const char *third)
{
    C_Print(first, second, third, nullptr);
}

void PauseMusic() { music.Pause(false); }

void PlayMusic() { music.Play(false, false); }

bool MenuVisible() { return mainMenu.visible; }

float AimDivisor() { return mouseAimDivisor; }

void ClickMenu()
{
    // No clicks reach the menu under an open console.
    if (C_IsOpen()) {
        return;
    }
    const int32_t answer = mainMenu.Click(cursorWorld[0], cursorWorld[1]);
    if (answer == MENU_CLICK_PLAY && musicPending) {
        PlayMusic();
    } else if (answer == MENU_CLICK_BACK) {
        Shutdown();
    }
    musicPending = false;
}

// What the first picture did not wait for: the world's textures and the sound effects.
void LoadTheRest()
{
    T_BuildDeferredTextures();
    W_InvalidateStaticLayers();  // drawn from textures that may only now have their pictures
    DecodeSounds();
}

void LoadBricks()
{
    brickTextureCount = W_BRICK_KINDS;
    for (int32_t code = 1; code <= brickTextureCount; ++code) {
        char path[64];
        snprintf(path, sizeof path, "basev2/textures/%s", W_BRICK_FILES[code - 1]);
        brickTextures[code].Load(path, true);
    }
}

// Runs inside window creation, in this fixed order; no step checks another.
void StartUp()
{
    P_ShowCursor(false);
    C_Init();
    InitOpenGL();
    C_LoadBackground();
    F_Load("basev2/textures/oth/font.tga");
    C_AddCommand("exit", Shutdown, nullptr);
    C_AddCommand("quit", Shutdown, nullptr);
    InitSound();
    mainMenu.Init();
    T_DeferTextureBuilds(true);  // the rest waits until the menu is on the screen
    BindDefaultKeys(ShellActions{Shutdown, PauseMusic, PlayMusic});
    M_AllocMap();
    M_SetSpawnPointHandler(AddSpawnPoint);
    M_LoadMap("basev2/maps/v2dm1.vsm");
    LoadBricks();
    backgroundIndex = 0;
    backgroundTextures[0].Load("basev2/textures/backg/b_0.bmp", false);
    mouseAimDivisor = 5.0f;
    SetMouseHooks(MouseHooks{MenuVisible, AimDivisor, ClickMenu});
    InitGameplay();
    music.Open("basev2/media/music/ingame1.mid", SOUND_SEQUENCER);
    P_SetScreenSaverRunning(true);
    windowActive = 1;
    StartExtensions(startUpExtension);
}

void ToggleMenu()
{
    if (musicPending) {
        music.Play(false, false);
    }
    C_SetOpen(P_KEY_ESCAPE, false);
    mainMenu.visible = !mainMenu.visible;
    if (mainMenu.visible) {
        ReleaseHeldKeys();  // key-ups on the menu never reach the bindings
    }
    mainMenu.playButton.clickArmed = true;
    menuClick.Play(true, false);
    mainMenu.escapeArmed = false;
    musicPending = false;
}

// Start on a pad toggles the menu as Escape does; Escape's own arming is left as its key left it.
void DispatchPadsOfTick()
{
    if (!DispatchPads(!mainMenu.visible && !C_IsOpen())) {
        return;
    }
    const bool escapeArmed = mainMenu.escapeArmed;
    ToggleMenu();
    mainMenu.escapeArmed = escapeArmed;
}

// A replay takes no input from the players: Escape stops it, and once stopped returns to the menu.
void OnKeyDownInReplay(uint32_t key)
{
    if (key != P_KEY_ESCAPE || !mainMenu.escapeArmed) {
        return;
    }
    mainMenu.escapeArmed = false;
    if (DemoEscape()) {
        ToggleMenu();
    } else {
        C_SetOpen(P_KEY_ESCAPE, false);  // as Escape does in play, so its character types nothing
    }
}

void OnKeyDown(uint32_t key)
{
    const bool playing = !mainMenu.visible && !C_IsOpen();
    C_KeyEvent(C_KEY_DOWN, key);
    if (DemoActive()) {
        OnKeyDownInReplay(key);
        return;
    }
    if (playing) {
        DemoNoteMatchKey(true, key);
    }
    // The winner screen of a match takes its keys before the bindings and the menu do.
    if (playing && MatchKeyDown(key)) {
        if (key == P_KEY_ESCAPE) {
            mainMenu.escapeArmed = false;  // this press is spent: its auto-repeat opens no menu
        }
        return;
    }
    if (!mainMenu.visible) {
        KeyDown(key);
    }
    // Auto-repeat finds escapeArmed false until the key comes up: one toggle per press.
    if (key == P_KEY_ESCAPE && mainMenu.escapeArmed) {
        ToggleMenu();
    }
}

void OnKeyUp(uint32_t key)
{
    if (!DemoActive()) {
        DemoNoteMatchKey(false, key);
        MatchKeyUp(key);
        if (!mainMenu.visible) {
            KeyUp(key);
        }
    }
    if (key == P_KEY_ESCAPE) {
        mainMenu.escapeArmed = true;
    }
}

void MainWndProc(const P_Message &message)
{
    if (gameEnding && message.message != P_WM_CREATE) {
        return;  // everything is released; only the quit message is left to take
    }
    if (message.message != P_WM_PAINT) {
        NoteFrameChange();
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
        if (windowActive == 0) {
            ReleaseHeldKeys();  // keys let go elsewhere send no key-up here
        }
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
        OnKeyUp(message.wParam);
        break;
    case P_WM_CHAR:
        C_KeyEvent(C_CHARACTER, message.wParam);
        break;
    case P_WM_LBUTTONDOWN:
        MouseButtonDown(1);
        break;
    case P_WM_LBUTTONUP:
        MouseButtonUp(1);
        break;
    case P_WM_RBUTTONDOWN:
        MouseButtonDown(2);
        break;
    case P_WM_RBUTTONUP:
        MouseButtonUp(2);
        break;
    case P_WM_MBUTTONDOWN:
        MouseButtonDown(3);
        break;
    case P_WM_MBUTTONUP:
        MouseButtonUp(3);
        break;
    default:
        break;
    }
}

// Shutdown may come from any step (F12, the back button): the rest of the tick is skipped.
void RunTick()
{
    if (DemoActive()) {
        PaintFrame();  // a replay brings its own controls
        return;
    }
    DispatchHeldKeys();
    if (gameEnding) {
        return;
    }
    DispatchPadsOfTick();
    MouseLook();
    ProcessInput();
    if (gameEnding) {
        return;
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

void DrawCredits()
{
    const int32_t width = VIDEO_MODES[videoModeIndex].width;
    const int32_t size = videoModeIndex + 11;
    const struct {
        const char *text;
        int32_t x;
        int32_t y;
    } lines[] = {
        {CREDIT_AUTHORS, width - (videoModeIndex + 9) * 61, 20},
        {CREDIT_SITE, width - (videoModeIndex + 9) * 51, 6},
    };
    for (const auto &line : lines) {
        F_SetColor(1.0f, 0.0f, 0.0f);
        F_Shadow();
        F_SetShadowColor(0.0f, 0.0f, 0.0f);
        F_SetSize(size);
        F_Print(line.x, line.y, "%s", line.text);
    }
}
// The world's part of a frame. `whole` draws all of it, also where the console will cover it, and
// keeps the picture for a replay to hold.
void ComposeWorld(uint32_t delta, bool draw, bool whole)
{
    const bool limited = draw && !whole && BeginWorldUnderConsole(delta);
    if (draw) {
        W_DrawStaticLayers(backgroundTextures[backgroundIndex], brickTextures);
    }
    if (MatchOn()) {
        draw ? UpdateMatch(delta) : AdvanceMatch(delta);
        if (music.Finished()) {
            music.Play(true, false);  // a match's music loops
        }
    } else if (draw) {
        UpdatePlayers(delta);
        UpdateProjectiles(delta);
    } else {
        AdvancePlayers(delta);
        AdvanceProjectiles(delta);
    }
    EndWorldUnderConsole(limited);
    if (draw && whole) {
        DemoKeepView();
    }
}

// One frame of the game, drawn or not: an undrawn frame changes every clock, phase and
// position exactly as the drawn one would. Both are told apart here, step by step, so that
// they cannot drift apart.
void ComposeFrame(bool draw)
{
    const DemoFrame demo = DemoFrameStart(FrameDelta(), !mainMenu.visible);
    const uint32_t delta = demo.delta;
    SetFrameTime(delta);
    const WorldPoint cursor = CursorToWorld(cursorPixel[0], cursorPixel[1]);
    cursorWorld[0] = cursor.x;
    cursorWorld[1] = cursor.y;
    if (!mainMenu.visible && demo.hold) {
        if (draw) {
            DemoShowView();  // a replay paused on its end: nothing moves
        }
    } else if (!mainMenu.visible) {
        ComposeWorld(delta, draw, demo.last);
        DemoFrameEnd();
    } else if (draw) {
        mainMenu.Draw(delta, cursor.x, cursor.y);
        mainMenu.DrawCursor(cursor.x, cursor.y);
    } else {
        mainMenu.playButton.Hover(delta, cursor.x, cursor.y);
        mainMenu.backButton.Hover(delta, cursor.x, cursor.y);
    }
    if (!draw) {
        C_Advance(delta);
        return;
    }
    C_Draw(delta, videoModeIndex);
    DrawCredits();
    NoteFrameShown(cursorPixel[0], cursorPixel[1]);
}

// Out of focus nothing is drawn, and a frame that would show the picture already on the screen
// is only run.
bool FrameWanted()
{
    if (!FrameShortcuts() || DemoPlaying()) {
        return true;  // a replay shows every frame it holds
    }
    if (windowActive == 0) {
        NoteFrameChange();  // coming back draws at once
        return false;
    }
    return !FrameIsStill(ReadStillView(cursorPixel[0], cursorPixel[1], AnyMouseButtonHeld()));
}
}  // namespace

void Shutdown()
{
    if (gameEnding) {
        return;  // a held F12 asks again every tick until the quit message is taken
    }
    gameEnding = true;
    StopDemos();
    C_Execute("con_savelog");
    P_SetScreenSaverRunning(false);
    ReleaseOpenGL();
    ShutdownSound();
    C_Shutdown();
    M_FreeMap();
    P_PostQuitMessage();
    P_ShowCursor(true);
}

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

void DrawFrame() { ComposeFrame(true); }

void AdvanceFrame() { ComposeFrame(false); }

int WinMain(void (*extendStartUp)())
{
    startUpExtension = extendStartUp;
    if (!P_RegisterClass("Vorn2", MainWndProc)) {
        P_MessageBox("Cannot register window class", "Error");
        return EXIT_NO_WINDOW;
    }
    InitDisplay(DisplayVariant{DrawFrame, ReportOnConsole, true, true, FrameWanted, AdvanceFrame});
    videoModeIndex = 1;
    const VideoMode &mode = VIDEO_MODES[videoModeIndex];
    if (!P_CreateWindow("Vorn II", 0, 0, mode.width, mode.height)) {
        return EXIT_NO_WINDOW;
    }
    SetVideoMode(videoModeIndex);
    // Only a first picture of the menu can go without the world's textures: autoexec.cfg may
    // have started play or a demo, and the bench's recordings want every texture in place.
    if (!FrameShortcuts() || !mainMenu.visible) {
        LoadTheRest();
    }
    P_UpdateWindow();
    LoadTheRest();
    FrameDelta();
    const int result = RunMainLoop();
    ShutdownPads();
    P_DestroyWindow();
    return result;
}
