"""A short match on a map of our own: player 1 fires a rocket a second with Space until player 2
is dead, the console log scores it and the HUD shows both players' health."""

import os
import sys

from harness import Game, check, distance, region_mean, run, session, write_map

FLOOR_ROW = 15            # its top is the old floor line, screen row 300
SPAWN_COLUMNS = (2, 17)   # respawn cells on the floor, left and right, nothing between
# The HUD of an 800x600 window (HudPanelOf): each health bar 166 pixels wide on screen rows 32 to
# 41, player 1's from x 56, player 2's from x 620, in the players' HUD colours.
BAR_ROW = 37
BAR_LEFT = (56, 620)
BAR_WIDTH = 166
COLOURS = ((115, 242, 89), (255, 140, 64))
WINNER_FRAME = (167, 300)         # the left side of the winner panel's frame, in its colour


def pixel_is(rgb, x, y, colour):
    return distance(region_mean(rgb, x, y, 1, 1), colour) < 12


def bar_shows(rgb, player, fraction):
    """Whether the player's health bar reaches `fraction` of its width in the player's colour."""
    x = BAR_LEFT[player - 1] + int(BAR_WIDTH * fraction)
    return pixel_is(rgb, x, BAR_ROW, COLOURS[player - 1])


def test(executable, data_dir):
    with session(data_dir, "match") as (display, workdir):
        cells = [0] * 600
        for column in range(20):
            cells[column * 30 + FLOOR_ROW] = 4
        for column in SPAWN_COLUMNS:
            cells[column * 30 + FLOOR_ROW - 1] = 8
        write_map(os.path.join(workdir, "basev2", "maps", "v2dm1.vsm"), cells)
        game = Game(display, executable, workdir)
        game.start()
        game.console("g_match 1", "g_fraglimit 1")
        game.enter_play()
        game.wait_screen(lambda rgb: bar_shows(rgb, 1, 0.95) and bar_shows(rgb, 2, 0.95),
                         "both players' health bars, full")
        # Space held down by presses, until the winner screen: the reload spaces the rockets,
        # and between them the HUD shows player 2 hurt (its bar short of half, player 1's full).
        hurt = []

        def won(rgb):
            hurt.append(not bar_shows(rgb, 2, 0.5) and bar_shows(rgb, 2, 0.05)
                        and bar_shows(rgb, 1, 0.95))
            display.key("space")
            return pixel_is(rgb, *WINNER_FRAME, COLOURS[0])
        game.wait_screen(won, "the winner screen", 60)
        check(any(hurt), "the HUD never showed player 2 hurt")
        log = game.quit()
        lines = "Player 1 fragged Player 2 (1:0)\nPlayer 1 wins the match (1:0)\n"
        check(lines in log, "the log lacks %r; its end:\n%s" % (lines, log[-600:]))


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
