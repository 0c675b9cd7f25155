#include "platform/data_root.h"
#include "shell/game.h"
#include "shell/map_commands.h"

// Vorn2 [MAP]: MAP, when given, is played from the start in place of g_map.
int main(int argc, char **argv)
{
    P_EnterDataRoot("basev2", false);
    SetCommandLineMap(argc > 1 ? argv[1] : nullptr);
    return WinMain();
}
