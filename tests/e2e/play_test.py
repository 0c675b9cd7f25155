"""Two players in a real game: walking, a key held as the menu opens let go with it, firing with
the keyboard and the mouse. The screen watches the held key, as opening the console lets go of it
too; the console then gives the positions."""

import sys

from harness import (SCREEN_WIDTH, STEP_DEADLINE_S, Game, changed_pixels, check, run, session,
                     wait_for)

START_HEALTH = 125
FIGURE_PIXELS = 200  # most of a player's figure changes ~450 pixels; a crosshair ~50


def test(executable, data_dir):
    with session(data_dir, "play") as (display, workdir):
        game = Game(display, executable, workdir)
        game.start()
        game.enter_play()
        # The first tick in play found the pointer on PLAY, 100 pixels above the centre, and
        # turned player 2's aim up by 20 degrees; 100 pixels down levels it again.
        game.wait_pointer_centred()
        game.nudge_aim(100)
        start = game.players()
        check(start[1][:2] == start[2][:2],
              "the players do not start on the same spot: %s and %s" % (start[1], start[2]))
        x, y = start[1][:2]

        empty = display.screenshot_rgb()
        # The screen right of x + 1.2 on player 1's rows (100 pixels a unit, (0, 0) at the
        # centre), well clear of player 2: turning back slides player 1 about 0.3 towards it.
        left = round((x + 1.2 + 4.0) * 100)
        strip = (left, round((3.0 - y) * 100) - 35, SCREEN_WIDTH - left, 70)
        with display.held("d"):
            display.wait_screen(lambda rgb: changed_pixels(empty, rgb, *strip) >= FIGURE_PIXELS,
                                "player 1 to walk right onto %s" % (strip,))
            display.key("Escape")
            game.wait_menu()
        display.key("Escape")  # D came up on the menu
        game.wait_world()
        # Player 1 slides a little on the speed it had as the menu showed, then stands, on the
        # screen. A key still down would walk it on until it left the screen.
        moving = [0]

        def standing():
            before = display.screenshot_rgb()
            game.wait_frames(2)
            after = display.screenshot_rgb()
            moving[0] = changed_pixels(before, after, *strip)
            return moving[0] == 0 and after
        shot = wait_for(standing, 2 * STEP_DEADLINE_S, "player 1 to stand still back in play",
                        lambda: "%d pixels of %s changing over two frames" % (moving[0], strip))
        check(changed_pixels(empty, shot, *strip) >= FIGURE_PIXELS,
              "player 1 walked on after D came up on the menu, off the screen")
        game.open_console()
        first = game.players()
        game.wait_frames(5)
        second = game.players()
        game.close_console()
        check(first[1][0] > x + 0.5,
              "player 1 did not walk right: x %.2f at start, %.2f now" % (x, first[1][0]))
        check(first[1][:2] == second[1][:2], "player 1 moved after the menu: %s, then %s" %
              (first[1][:2], second[1][:2]))

        display.key("a", "Right")  # the players turn to face each other
        last = []

        def volley():
            # Between two slow frames a rocket may fly past a player: fire again until both hit.
            display.key("space")           # player 1 fires its rocket at player 2...
            display.xdotool("click", "1")  # ...and player 2 fires with the mouse
            last.append(game.players())    # a gun still reloading fires in a later volley
            return all(last[-1][p][2] < START_HEALTH for p in (1, 2))
        wait_for(volley, 2 * STEP_DEADLINE_S, "both players to be hurt (health below %d)"
                 % START_HEALTH, lambda: "after %d volleys player 1 %s, player 2 %s" % (
                     len(last), last[-1][1], last[-1][2]))
        game.quit()


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
