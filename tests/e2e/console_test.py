"""The drop-down console takes typed commands, writes a config, and the world shows the map."""

import os
import sys

from harness import STEP_DEADLINE_S, Game, check, run, session, wait_for


def test(executable, data_dir):
    with session(data_dir, "console") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        game.open_console()
        game.command("gravity 0.5", "writecfg t")
        config = os.path.join(workdir, "basev2", "t.cfg")
        text = [""]

        def written():
            if os.path.exists(config):
                with open(config) as f:
                    text[0] = f.read()
            return "gravity 0.500000\n" in text[0]
        wait_for(written, STEP_DEADLINE_S, "basev2/t.cfg with the line \"gravity 0.500000\"",
                 lambda: "t.cfg holding:\n" + text[0] if os.path.exists(config) else "no t.cfg")

        # Every brick cell below the open console shows its own brick's colours.
        matched, bricks = game.bricks_shown(display.screenshot_rgb())
        check(bricks > 0, "the map has no bricks in the lower half")
        # Players and shots may cover a few cells.
        check(matched >= 0.85 * bricks,
              "only %d of %d brick cells show their brick, expected 85%%" % (matched, bricks))

        game.command("quit")
        code = game.program.wait_exit()
        check(code == 1, "quit ended the game with %s, expected 1" % code)
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        typed = "]gravity 0.5\n]writecfg t\nWrited config t.cfg\n]quit\n"
        check(typed in log, "the log lacks the typed lines %r; its end:\n%s" % (typed, log[-500:]))


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
