#include "input/mouse.h"

#include "gameplay/player.h"
#include "input/bindings.h"
#include "platform/keys.h"
#include "platform/window.h"

int32_t cursorPixel[2] = {0, 0};

namespace {
// Fixed whatever the video mode: the cursor maps as on an 800 x 600 screen.
constexpr int32_t CENTRE_X = 400;
constexpr int32_t CENTRE_Y = 300;
constexpr int32_t PLAYER_2 = 2;
constexpr uint8_t BUTTON_KEYS[] = {P_KEY_NONE, P_KEY_MOUSE1, P_KEY_MOUSE2, P_KEY_MOUSE3};
constexpr uint32_t BUTTON_COUNT = 3;

MouseHooks hooks = {};
bool mouseButtons[3] = {false, false, false};
uint32_t buttonsHeld = 0;  // bit n: button n is down, the middle one too
int32_t mouseDelta[2] = {0, 0};
bool mouseMoved = false;
bool leftButtonFires = true;

bool MenuVisible() { return hooks.menuVisible != nullptr && hooks.menuVisible(); }
}  // namespace

void SetMouseHooks(const MouseHooks &newHooks) { hooks = newHooks; }

void MouseButtonDown(uint32_t button)
{
    if (button >= 1 && button <= BUTTON_COUNT) {
        buttonsHeld |= 1u << button;
    }
    if (button <= 2) {
        mouseButtons[button] = true;
    }
    // As with keys, a press on the menu reaches no binding: it was a click.
    if (button >= 1 && button <= BUTTON_COUNT && !MenuVisible()) {
        KeyDown(BUTTON_KEYS[button]);
    }
}

void MouseButtonUp(uint32_t button)
{
    if (button >= 1 && button <= BUTTON_COUNT) {
        buttonsHeld &= ~(1u << button);
    }
    if (button <= 2) {
        mouseButtons[button] = false;
    }
    if (button >= 1 && button <= BUTTON_COUNT) {
        KeyUp(BUTTON_KEYS[button]);
    }
}

bool AnyMouseButtonHeld() { return buttonsHeld != 0; }

void SetLeftButtonFires(bool fires) { leftButtonFires = fires; }

bool LeftButtonFires() { return leftButtonFires; }

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
        if (leftButtonFires) {
            PlayerControl(ACTION_FIRE, PLAYER_2, nullptr);
        }
        return;
    }
    if (hooks.clickMenu != nullptr) {
        hooks.clickMenu();
    }
}
