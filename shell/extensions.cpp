#include "shell/extensions.h"

#include "console/config.h"
#include "gameplay/match.h"
#include "input/bind_commands.h"
#include "input/pad.h"
#include "platform/file.h"
#include "shell/map_commands.h"

namespace {
constexpr char AUTOEXEC_PATH[] = "basev2/autoexec.cfg";

void RunAutoexec()
{
    if (P_FileReadable(AUTOEXEC_PATH)) {
        C_ExecFile("autoexec");
    }
}
}  // namespace

void StartExtensions(void (*testProbe)())
{
    AddBindCommands();
    InitPads();
    if (testProbe != nullptr) {
        testProbe();
    }
    RegisterMapCommands();
    RegisterMatchVariables();
    RunAutoexec();
    LoadStartMap();
}
