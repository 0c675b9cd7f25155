#include "input/mouse.h"

#include "gameplay/player.h"
#include "platform/window.h"

int32_t cursorPixel[2] = {0, 0};

namespace {
// Fixed whatever the video mode: the cursor maps as on an 800 x 600 screen.
constexpr int32_t CENTRE_X = 400;
constexpr int32_t CENTRE_Y = 300;
constexpr int32_t PLAYER_2 = 2;

MouseHooks hooks = {};
bool mouseButtons[3] = {false, false, false};
int32_t mouseDelta[2] = {0, 0};
bool mouseMoved = false;

bool MenuVisible() { return hooks.menuVisible != nullptr && hooks.menuVisible(); }
}  // namespace

void SetMouseHooks(const MouseHooks &newHooks) { hooks = newHooks; }

void MouseButtonDown(uint32_t button)
{
    if (button <= 2) {
        mouseButtons[button] = true;
    }
}

void MouseButtonUp(uint32_t button)
{
    if (button <= 2) {
        mouseButtons[button] = false;
    }
}

void MouseLook()
{
    mouseDelta[0] = 0;
    mouseDelta[1] = 0;
    P_GetCursorPos(&cursorPixel[0], &cursorPixel[1]);
    if (MenuVisible()) {
        return;  // on the menu the cursor moves freely
    }
    if (cursorPixel[0] == CENTRE_X && cursorPixel[1] == CENTRE_Y) {
        return;
    }
    mouseMoved = true;
    mouseDelta[0] = CENTRE_X - cursorPixel[0];
    mouseDelta[1] = CENTRE_Y - cursorPixel[1];
    P_SetCursorPos(CENTRE_X, CENTRE_Y);
}

void ProcessInput()
{
    const float divisor = hooks.aimDivisor != nullptr ? hooks.aimDivisor() : 5.0f;
    const float aim = float(mouseDelta[1]) / divisor;
    if (mouseMoved) {
        PlayerControl(ACTION_AIM, PLAYER_2, &aim);
    }
    if (!mouseButtons[1]) {
        return;
    }
    if (!MenuVisible()) {
        PlayerControl(ACTION_FIRE, PLAYER_2, nullptr);
        return;
    }
    if (hooks.clickMenu != nullptr) {
        hooks.clickMenu();
    }
}
