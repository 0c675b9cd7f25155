#pragma once

// A pad made in software: plugged, pushed and pulled like a real one, so pad tests need no
// device and no display. It needs the controller layer started (P_InitPads); stopping the layer
// ends every pad made this way.

#include "platform/window_internal.h"

#include <cstdint>

#include <SDL.h>

class VirtualPad {
public:
    // Plugs the pad in; the next event pump announces it.
    explicit VirtualPad(const char *name)
    {
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;  // gets the standard controller mapping
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.name = name;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        joystick = index < 0 ? nullptr : SDL_JoystickOpen(index);
        instance = joystick == nullptr ? -1 : SDL_JoystickInstanceID(joystick);
    }
    VirtualPad(const VirtualPad &) = delete;
    VirtualPad &operator=(const VirtualPad &) = delete;
    ~VirtualPad() { Unplug(); }

    // Pulls the pad out; the next event pump tells it. Nothing happens a second time.
    void Unplug()
    {
        if (joystick == nullptr) {
            return;
        }
        if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) {
            joystick = nullptr;  // stopping the layer already ended it
            return;
        }
        SDL_JoystickClose(joystick);
        joystick = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
                SDL_JoystickDetachVirtual(index);
                break;
            }
        }
    }

    // The mapping puts the controller's axes and buttons at their own numbers. Values take
    // effect at the next event pump.
    void SetAxis(SDL_GameControllerAxis axis, int16_t value)
    {
        SDL_JoystickSetVirtualAxis(joystick, axis, value);
    }
    void SetStick(SDL_GameControllerAxis axis, float push)
    {
        SetAxis(axis, int16_t(push < 0.0f ? push * 32768.0f : push * 32767.0f));
    }
    // The raw trigger axis spans the whole range: its lowest value is released.
    void SetTrigger(SDL_GameControllerAxis axis, float pull)
    {
        SetAxis(axis, int16_t(-32768.0f + pull * 65535.0f));
    }
    void SetButton(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    }

private:
    SDL_Joystick *joystick = nullptr;
    SDL_JoystickID instance = -1;
};

// Takes every event that waits, as the game's event pump does.
inline void PumpPadEvents()
{
    while (P_PumpOneEvent(0)) {
    }
}
