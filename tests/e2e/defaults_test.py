"""With no autoexec.cfg and every added setting at its default, the game is the one it always
was: the start-up log, writecfg's file and cmd_list's own entries; typed commands change a
setting and `quit` ends the game."""

import os
import sys

from harness import Game, check, read_file, run, session, wait_for

GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
# The game's own commands and variables; those added since come after them in cmd_list.
OWN_ENTRIES = ["framedelay", "gravity", "s_volume", "quit", "exit", "help", "writecfg", "exec",
               "cmd_list", "say", "con_speed", "con_savelog", "con_clear", "con_print"]


def test(executable, data_dir):
    with session(data_dir, "defaults") as (display, workdir):
        basev2 = os.path.join(workdir, "basev2")
        check(not os.path.exists(os.path.join(basev2, "autoexec.cfg")),
              "the data tree ships an autoexec.cfg")
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        game.open_console()
        game.command("writecfg defaults", "cmd_list", "gravity 0.5", "writecfg t")
        changed = os.path.join(basev2, "t.cfg")
        wait_for(lambda: "gravity 0.500000\n" in (read_file(changed) or ""), 30,
                 "basev2/t.cfg with the line \"gravity 0.500000\"",
                 lambda: "t.cfg holding %r" % read_file(changed))
        log = game.quit("quit")

        written = read_file(os.path.join(basev2, "defaults.cfg"))
        check(written == read_file(os.path.join(GOLDEN, "defaults.cfg")),
              "writecfg with every setting at its default wrote:\n%s" % written)
        start_up = read_file(os.path.join(GOLDEN, "startup.log"))
        check(log.startswith(start_up), "the start-up log differs from the game's own:\n" + log)
        rest = log[len(start_up):]
        check(rest.startswith("]writecfg defaults\nWrited config defaults.cfg\n]cmd_list\n"),
              "the typed lines are not the next in the log:\n" + rest)
        listed = [line.strip() for line in rest.split("]cmd_list\n", 1)[1].splitlines()
                  if line.startswith("   ")]
        check(listed[-len(OWN_ENTRIES):] == OWN_ENTRIES,
              "cmd_list does not end with the game's own entries in their order: %s" % listed)
        typed = "]gravity 0.5\n]writecfg t\nWrited config t.cfg\n]quit\n"
        check(typed in rest, "the log lacks the typed lines %r; its end:\n%s" % (typed, log[-500:]))


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
