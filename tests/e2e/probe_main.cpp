// The game with a test-only console command, `players`, that prints both players' state, so
// end-to-end tests can see what the screen shows without reading pixels. Never shipped.
#include "console/console.h"
#include "console/registry.h"
#include "gameplay/player.h"
#include "shell/game.h"

#include <cstdio>

namespace {
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

void RegisterProbe() { C_AddCommand("players", PrintPlayers, nullptr); }
}  // namespace

int main() { return WinMain(RegisterProbe); }
