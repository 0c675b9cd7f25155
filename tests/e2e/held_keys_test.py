"""A key held as the menu opens is let go with it: player 1 walks while D is held, the menu shows,
D comes up on the menu, and back in play player 1 stands still.

The console cannot watch this alone: opening it lets go of held keys too, so a key left down
would stop there. The screen watches player 1 first, with frames shown by player 2's crosshair,
which the mouse turns; the console then gives the positions.
"""

import sys

from harness import (STEP_DEADLINE_S, Failure, Game, changed_pixels, check, figure_in, run,
                     session, strip_right_of, wait_figure, wait_for)


def test(executable, data_dir):
    with session(data_dir, "held-keys") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        x, y = game.players()[1][:2]
        empty = display.screenshot_rgb()
        strip = strip_right_of(x + 0.5, y)  # clear of player 2, who stays at the start

        with display.held("d"):
            wait_figure(display, empty, strip, "player 1 to walk right onto %s" % (strip,))
            display.key("Escape")
            game.wait_menu()
        display.key("Escape")  # D came up on the menu
        game.wait_world()

        # Player 1 slides a little on the speed it had as the menu showed, then stands. A key
        # still down would walk it on until it left the screen.
        shots = []
        moving = [0]

        def standing():
            before = display.screenshot_rgb()
            game.wait_play_frames(2)
            shots[:] = [display.screenshot_rgb()]
            moving[0] = changed_pixels(before, shots[0], *strip)
            return moving[0] == 0
        wait_for(standing, 2 * STEP_DEADLINE_S, "player 1 to stand still back in play",
                 lambda: "%d pixels of %s changing over two frames" % (moving[0], strip))
        if not figure_in(empty, shots[0], strip):
            raise Failure("player 1 walked on after D came up on the menu: x %.2f at start, "
                          "off the screen now (x %.2f), expected it to stand on the screen" %
                          (x, game.players()[1][0]))

        # Two readings with frames between them, told by the open console's moving background.
        game.open_console()
        first = game.players()
        game.wait_console_frames(5)
        second = game.players()
        game.close_console()
        check(first[1][0] > x + 0.5,
              "player 1 did not walk right: x %.2f at start, %.2f now" % (x, first[1][0]))
        check(first[1][:2] == second[1][:2], "player 1 moved after the menu: %s, then %s" %
              (first[1][:2], second[1][:2]))

        display.key("F12")
        code = game.program.wait_exit()
        check(code == 1, "F12 ended the game with %s, expected 1" % code)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
