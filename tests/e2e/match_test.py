"""A short match on a map of our own: player 1 fires a rocket a second with Space until player 2
is dead, the console log scores it and the HUD shows both players' health; with g_match 0 the
same play shows none of it."""

import os
import sys

from harness import (STEP_DEADLINE_S, Failure, Game, bmp_mean_colour, check, distance,
                     region_bytes, region_mean, run, session, wait_for)

FLOOR_ROW = 15            # its top is the old floor line, screen row 300
SPAWN_COLUMNS = (2, 17)   # respawn cells on the floor, left and right, nothing between
FLOOR_CODE = 4
# The HUD of an 800x600 window (HudPanelOf): each health bar 166 pixels wide on screen rows 32 to
# 41, player 1's from x 56, player 2's from x 620, in the players' HUD colours.
BAR_ROW = 37
BAR_LEFT = (56, 620)
BAR_WIDTH = 166
COLOURS = ((115, 242, 89), (255, 140, 64))
WINNER_FRAME = (167, 300)         # the left side of the winner panel's frame, in its colour
PANEL_BOX = (8, 8, 220, 58)       # (left, top, width, height): player 1's panel, if any
# Across the players' height, left of them and of player 2's crosshair, which the mouse moves.
ROCKET_BAND = (0, 255, 560, 30)


def write_map(workdir):
    cells = [0] * 600
    for column in range(20):
        cells[column * 30 + FLOOR_ROW] = FLOOR_CODE
    for column in SPAWN_COLUMNS:
        cells[column * 30 + FLOOR_ROW - 1] = 8
    with open(os.path.join(workdir, "basev2", "maps", "v2dm1.vsm"), "wb") as f:
        f.write(b"".join(code.to_bytes(2, "little", signed=True) for code in cells))


def pixel(rgb, x, y):
    i = (y * 800 + x) * 3
    return tuple(rgb[i:i + 3])


def bar_shows(rgb, player, fraction):
    """Whether the player's health bar reaches `fraction` of its width in the player's colour."""
    x = BAR_LEFT[player - 1] + int(BAR_WIDTH * fraction)
    return distance(pixel(rgb, x, BAR_ROW), COLOURS[player - 1]) < 12


def both_bars_full(rgb):
    return bar_shows(rgb, 1, 0.95) and bar_shows(rgb, 2, 0.95)


def start_game(display, workdir, executable, *commands):
    write_map(workdir)
    game = Game(display, executable, workdir)
    game.start()
    game.open_console()
    game.command(*commands)
    game.close_console()
    game.enter_play()
    return game


def log_after_quit(game):
    game.display.key("F12")
    code = game.program.wait_exit()
    check(code == 1, "F12 ended the game with %s, expected 1" % code)
    with open(game.log_path, errors="replace") as f:
        return f.read()


def play_match(executable, data_dir):
    with session(data_dir, "match") as (display, workdir):
        game = start_game(display, workdir, executable, "g_match 1", "g_fraglimit 1")
        game.wait_screen(both_bars_full, "both players' health bars, full")

        # A rocket a second, until the winner screen: on the way the HUD shows player 2 hurt
        # (its bar short of half, player 1's still full).
        seen = {"hurt": False, "won": False}

        def news():
            rgb = display.screenshot_rgb()
            hurt = (not bar_shows(rgb, 2, 0.5) and bar_shows(rgb, 2, 0.05)
                    and bar_shows(rgb, 1, 0.95))
            won = distance(pixel(rgb, *WINNER_FRAME), COLOURS[0]) < 12
            new = (hurt and not seen["hurt"]) or (won and not seen["won"])
            seen["hurt"] |= hurt
            seen["won"] |= won
            return new

        for _ in range(20):
            if seen["won"]:
                break
            game.alive()
            display.key("space")
            try:
                wait_for(news, 1.0, "what the rocket did")
            except Failure:
                pass  # a rocket still on its way, or a press in the reload: the next second
        check(seen["hurt"], "the HUD never showed player 2 hurt")
        check(seen["won"], "no winner screen after 20 rockets")
        display.screenshot_png(os.path.join(workdir, "won.png"))
        log = log_after_quit(game)
        lines = "Player 1 fragged Player 2 (1:0)\nPlayer 1 wins the match (1:0)\n"
        check(lines in log, "the log lacks %r; its end:\n%s" % (lines, log[-600:]))


def play_without_match(executable, data_dir):
    with session(data_dir, "nomatch") as (display, workdir):
        game = start_game(display, workdir, executable, "g_match 0")
        background = tuple(0.9 * c for c in bmp_mean_colour(
            os.path.join(game.basev2, "textures", "backg", "b_0.bmp")))

        def band():
            return region_bytes(display.screenshot_rgb(), *ROCKET_BAND)

        def still_band():
            first = band()
            return first if band() == first else None

        # Both players stand on one spot, as they always did, and player 1 fires away from
        # player 2: three rockets, each waited for until it has crossed the screen and gone.
        for _ in range(3):
            before = wait_for(still_band, STEP_DEADLINE_S, "a still picture")
            display.key("space")
            wait_for(lambda: band() != before, STEP_DEADLINE_S, "a rocket")
            wait_for(lambda: band() == before, STEP_DEADLINE_S, "the rocket to be gone")
        rgb = display.screenshot_rgb()
        check(not bar_shows(rgb, 1, 0.5) and not bar_shows(rgb, 2, 0.5), "a HUD is drawn")
        corner = region_mean(rgb, *PANEL_BOX)
        check(distance(corner, background) < 40,
              "the top left corner shows %s, not the background's %s" % (corner, background))
        log = log_after_quit(game)
        check("fragged" not in log and "wins the match" not in log,
              "match lines without a match; the log's end:\n" + log[-600:])


def test(executable, data_dir):
    play_match(executable, data_dir)
    play_without_match(executable, data_dir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
