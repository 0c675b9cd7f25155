"""A pad in a real game: told on the console, Start leaves the menu, the stick walks player 2,
Escape still shows the menu at its first press, and pulling the pad is told."""

import sys

from harness import Game, check, run, session, wait_for

START = 6
LEFT_X = 0


def test(executable, data_dir):
    with session(data_dir, "pad") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        start = game.players()

        def told(line):
            # Device events queue behind the typing: the game may tell them a little later.
            wait_for(lambda: line in game.save_log(), 15, repr(line))
        game.open_console()
        game.command("vpad_plug")
        told("Pad 1 (Probe pad 1) drives player 2\n")
        # The stick is held from the console, so nothing walks until Start leaves the menu;
        # Start also closes the console, as Escape does.
        game.command("vpad_axis 1 %d 32767" % LEFT_X, "vpad_button 1 %d 1" % START)
        game.console_open = False
        game.wait_world()
        walked = wait_for(lambda: (lambda p: p[2][0] > start[2][0] + 0.3 and p)(game.players()),
                          15, "player 2 to walk")
        check(walked[1][0] == start[1][0], "player 1 moved: %s -> %s" % (start, walked))

        # Start armed nothing of Escape's: one press shows the menu.
        display.key("Escape")
        game.wait_menu()
        game.open_console()
        game.command("vpad_unplug 1")
        told("Pad 1 (Probe pad 1) unplugged\n")
        game.quit("quit")


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
