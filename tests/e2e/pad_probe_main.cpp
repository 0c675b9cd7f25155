// The game with test-only console commands that plug, press and pull pads made in software, and
// `players`, which prints both players' state. Never shipped.
//   vpad_plug                       plugs "Probe pad N", N counting from 1
//   vpad_unplug N                   pulls it
//   vpad_button N BUTTON 0|1        controller button number (0 south .. 6 start .. 14)
//   vpad_axis N AXIS VALUE          controller axis number (0 left x .. 5 right trigger)
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/player.h"
#include "shell/game.h"
#include "tests/support/virtual_pad.h"

#include <cstdio>
#include <memory>

namespace {
constexpr int MAX_PROBE_PADS = 8;

std::unique_ptr<VirtualPad> probePads[MAX_PROBE_PADS];
char probeNames[MAX_PROBE_PADS][24];
int probePadCount = 0;

VirtualPad *PadOfArgument(int number)
{
    if (number < 1 || number > probePadCount || probePads[number - 1] == nullptr) {
        C_Print("vpad: no such pad\n", nullptr);
        return nullptr;
    }
    return probePads[number - 1].get();
}

void Plug()
{
    if (probePadCount == MAX_PROBE_PADS) {
        return;
    }
    char *const name = probeNames[probePadCount];
    snprintf(name, sizeof probeNames[0], "Probe pad %d", probePadCount + 1);
    probePads[probePadCount++] = std::make_unique<VirtualPad>(name);
}

void Unplug()
{
    int number = 0;
    if (sscanf(C_Arg().text, "%d", &number) == 1 && PadOfArgument(number) != nullptr) {
        probePads[number - 1].reset();
    }
}

void Button()
{
    int number = 0;
    int button = 0;
    int down = 0;
    if (sscanf(C_Arg().text, "%d %d %d", &number, &button, &down) != 3) {
        return;
    }
    if (VirtualPad *const pad = PadOfArgument(number)) {
        pad->SetButton(SDL_GameControllerButton(button), down != 0);
    }
}

void Axis()
{
    int number = 0;
    int axis = 0;
    int value = 0;
    if (sscanf(C_Arg().text, "%d %d %d", &number, &axis, &value) != 3) {
        return;
    }
    if (VirtualPad *const pad = PadOfArgument(number)) {
        pad->SetAxis(SDL_GameControllerAxis(axis), int16_t(value));
    }
}

void PrintPlayers()
{
    for (int32_t i = 0; i < 2; ++i) {
        const Player &player = players[i];
        char line[C_LINE_SIZE];
        snprintf(line, sizeof line, "player %d: x %.2f y %.2f health %d weapon %d\n", int(i + 1),
                 double(player.pose.x), double(player.pose.y), int(player.health),
                 int(player.currentWeapon));
        C_Print(line, nullptr);
    }
}

void RegisterProbe()
{
    C_AddCommand("vpad_plug", Plug, nullptr);
    C_AddCommand("vpad_unplug", Unplug, nullptr);
    C_AddCommand("vpad_button", Button, nullptr);
    C_AddCommand("vpad_axis", Axis, nullptr);
    C_AddCommand("players", PrintPlayers, nullptr);
}
}  // namespace

int main() { return WinMain(RegisterProbe); }
