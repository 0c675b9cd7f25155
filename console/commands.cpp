#include "console/commands.h"

#include "console/config.h"
#include "console/console.h"
#include "console/drop_down.h"
#include "console/registry.h"

namespace {
int32_t conSpeed = 2;  // saved and queried like any variable; the slide itself runs at a fixed rate

void SetConSpeed()
{
    const int32_t speed = C_ArgInt();
    if (speed > 3 || speed < 1) {
        // Players see this text and tests compare it byte for byte: keep the typo.
        C_Print("con_speed must be betwen 1 and 3.\n", nullptr);
        return;
    }
    conSpeed = speed;
}

void ReportConSpeed() { C_ReportInt(conSpeed); }

void CmdList()
{
    C_ArgText prefix = C_Arg();
    C_Complete(prefix.text);
}

// Runs `use` on the command's file name; without one, says so instead.
void WithFileName(void (*use)(const char *name))
{
    const C_ArgText name = C_Arg();
    if (name.text[0] == '\0') {
        C_Print("Cannot find argument!\n", nullptr);
        return;
    }
    use(name.text);
}

void Exec() { WithFileName(C_ExecFile); }

void WriteCfg() { WithFileName(C_WriteConfig); }
}  // namespace

void C_Init()
{
    C_InitText();
    conSpeed = 2;
    C_InitRegistry();

    C_Print("**************************\n", "* This is Vorn II console *\n",
            "**************************\n\n", nullptr);

    C_AddCommand("con_print", C_Say, nullptr);
    C_AddCommand("con_clear", C_Clear, nullptr);
    C_AddCommand("con_savelog", C_SaveLog, nullptr);
    C_AddCommand("con_speed", SetConSpeed, ReportConSpeed);
    C_AddCommand("say", C_Say, nullptr);
    C_AddCommand("cmd_list", CmdList, nullptr);
    C_AddCommand("exec", Exec, nullptr);
    C_AddCommand("writecfg", WriteCfg, nullptr);
    C_AddCommand("help", C_ShowBanner, nullptr);

    C_InitInputLine();
}

void C_Say()
{
    const C_ArgText text = C_Arg();
    if (text.text[0] != '\0') {
        C_Print("UnnamedPlayer: ", text.text, "\n", nullptr);
    }
}
