#include "shell/extensions.h"

#include "console/config.h"
#include "console/registry.h"
#include "gameplay/match.h"
#include "input/bind_commands.h"
#include "input/pad.h"
#include "platform/file.h"
#include "shell/demo.h"
#include "shell/display.h"
#include "shell/map_commands.h"

namespace {
constexpr char AUTOEXEC_PATH[] = "basev2/autoexec.cfg";

// 1 full screen, 0 a window; any other number counts as 1. Set before the window is up (as by
// autoexec.cfg), it decides how the game starts.
void SetVidFullscreen() { SetDisplayFullscreen(C_ArgInt() != 0); }

void ReportVidFullscreen() { C_ReportInt(DisplayFullscreen() ? 1 : 0); }

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
    C_AddVariable("vid_fullscreen", SetVidFullscreen, ReportVidFullscreen, 1.0f);
    if (testProbe != nullptr) {
        testProbe();
    }
    RegisterMapCommands();
    RegisterMatchVariables();
    RegisterDemoCommands();
    RunAutoexec();
    LoadStartMap();
}
