"""With no autoexec.cfg and every added setting at its default, the game is the one it always
was: the start-up log, writecfg's file, cmd_list's own entries and the keys' meanings."""

import os
import sys

from harness import STEP_DEADLINE_S, Game, check, run, session, wait_for

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
# The game's own commands and variables; those added since come after them in cmd_list.
OWN_ENTRIES = ["framedelay", "gravity", "s_volume", "quit", "exit", "help", "writecfg", "exec",
               "cmd_list", "say", "con_speed", "con_savelog", "con_clear", "con_print"]


def golden(name):
    with open(os.path.join(GOLDEN, name)) as f:
        return f.read()


def test(executable, data_dir):
    with session(data_dir, "defaults") as (display, workdir):
        check(not os.path.exists(os.path.join(workdir, "basev2", "autoexec.cfg")),
              "the data tree ships an autoexec.cfg")
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        game.open_console()
        game.command("writecfg defaults", "cmd_list")
        config = os.path.join(workdir, "basev2", "defaults.cfg")
        wait_for(lambda: os.path.exists(config), STEP_DEADLINE_S, "basev2/defaults.cfg")
        game.close_console()
        display.key("F12")  # the game's own way out, through its key binding
        code = game.program.wait_exit()
        check(code == 1, "F12 ended the game with %s, expected 1" % code)

        with open(config) as f:
            written = f.read()
        check(written == golden("defaults.cfg"),
              "writecfg with every setting at its default wrote:\n%s" % written)
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        start_up = golden("startup.log")
        check(log.startswith(start_up), "the start-up log differs from the game's own:\n" + log)
        rest = log[len(start_up):]
        check(rest.startswith("]writecfg defaults\nWrited config defaults.cfg\n]cmd_list\n"),
              "the typed lines are not the next in the log:\n" + rest)
        listed = [line.strip() for line in rest.split("]cmd_list\n", 1)[1].splitlines()
                  if line.startswith("   ")]
        check(listed[-len(OWN_ENTRIES):] == OWN_ENTRIES,
              "cmd_list does not end with the game's own entries in their order: %s" % listed)
        check(rest.endswith("]con_savelog\nLog basev2/console.log created!\n"),
              "the log does not end with the shut-down lines:\n" + rest)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
