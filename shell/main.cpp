#include "platform/data_root.h"
#include "shell/game.h"

int main()
{
    P_EnterDataRoot("basev2", false);
    return WinMain();
}
