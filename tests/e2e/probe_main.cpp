// The game with test-only console commands, never shipped: `players` prints both players' state,
// so tests need not read it from pixels; vpad_plug, vpad_unplug N, vpad_button N BUTTON 0|1 and
// vpad_axis N AXIS VALUE drive "Probe pad N" (from 1) with SDL's controller numbers.
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

// The slot of the pad the argument's first number names, and the two numbers after it.
std::unique_ptr<VirtualPad> *PadOfArguments(int *first, int *second)
{
    int number = 0;
    if (sscanf(C_Arg().text, "%d %d %d", &number, first, second) < 1 || number < 1 ||
        number > probePadCount || probePads[number - 1] == nullptr) {
        C_Print("vpad: no such pad\n", nullptr);
        return nullptr;
    }
    return &probePads[number - 1];
}

void Plug()
{
    if (probePadCount < MAX_PROBE_PADS) {
        char *const name = probeNames[probePadCount];
        snprintf(name, sizeof probeNames[0], "Probe pad %d", probePadCount + 1);
        probePads[probePadCount++] = std::make_unique<VirtualPad>(name);
    }
}

void Unplug()
{
    int unused = 0;
    if (std::unique_ptr<VirtualPad> *const pad = PadOfArguments(&unused, &unused)) {
        pad->reset();
    }
}

void Button()
{
    int button = 0;
    int down = 0;
    if (const std::unique_ptr<VirtualPad> *const pad = PadOfArguments(&button, &down)) {
        (*pad)->SetButton(SDL_GameControllerButton(button), down != 0);
    }
}

void Axis()
{
    int axis = 0;
    int value = 0;
    if (const std::unique_ptr<VirtualPad> *const pad = PadOfArguments(&axis, &value)) {
        (*pad)->SetAxis(SDL_GameControllerAxis(axis), int16_t(value));
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
