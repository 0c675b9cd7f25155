"""A short match on a map of our own: player 1 fires rockets with Space until player 2 is dead,
the console log scores it, the HUD shows both players' health; without g_match nothing of it."""

import os
import shutil
import sys

from harness import (Display, Failure, Program, bmp_mean_colour, check, distance, make_workdir,
                     region_mean, run, wait_for)

PLAY_BUTTON = (515, 200)
MENU_PROBE = (30, 420, 120, 40)  # a patch of the menu's floor, left of its buttons
FLOOR_ROW = 15              # its top is the old floor line, screen row 300
SPAWN_COLUMNS = (2, 17)     # respawn cells on the floor, left and right
FLOOR_CODE = 4
# The HUD in an 800x600 window (HudPanelOf): each health bar 166 pixels wide, screen rows 32 to
# 41, player 1's from x 56, player 2's from x 620; the HUD's colours of the two players.
BAR_ROW = 37
BAR_LEFT = (56, 620)
BAR_WIDTH = 166
COLOURS = ((115, 242, 89), (255, 140, 64))
WINNER_FRAME = (167, 300)   # the left side of the winner panel's frame, in the winner's colour
BACKGROUND_BOX = (8, 8, 220, 58)  # (left, top, width, height): where player 1's panel would be
# Across the players' height, left of them and of player 2's crosshair, which the mouse moves.
ROCKET_BAND = (0, 255, 560, 30)


def write_map(workdir):
    """A floor of bricks across the view and two spawn points on it, nothing between them."""
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


def near(colour, expected, tolerance=12):
    return distance(colour, expected) <= tolerance


def bar_shows(rgb, player, fraction):
    """Whether player's health bar reaches `fraction` of its width, in the player's colour."""
    x = BAR_LEFT[player - 1] + int(BAR_WIDTH * fraction)
    return near(pixel(rgb, x, BAR_ROW), COLOURS[player - 1])


def band(display):
    left, top, width, height = ROCKET_BAND
    rgb = display.screenshot_rgb()
    return [rgb[(y * 800 + left) * 3:(y * 800 + left + width) * 3] for y in range(top, top + height)]


def console(display, *lines):
    display.key("grave")
    for line in lines:
        display.type(line)
        display.key("Return")
    display.key("grave")


def start_play(display, shown):
    """Clicks PLAY until the menu has gone (in play a click fires, so only then), and waits
    until `shown` holds for a screenshot."""
    menu = region_mean(display.screenshot_rgb(), *MENU_PROBE)

    def menu_gone():
        return distance(region_mean(display.screenshot_rgb(), *MENU_PROBE), menu) > 25

    for _ in range(4):
        display.click(*PLAY_BUTTON)
        try:
            wait_for(menu_gone, 5, "the menu to go")
            break
        except Failure:
            pass
    wait_for(lambda: shown(display.screenshot_rgb()), 20, "play to start")


def log_text(workdir):
    with open(os.path.join(workdir, "basev2", "console.log"), errors="replace") as f:
        return f.read()


def play_match(game, data_dir):
    workdir = make_workdir(data_dir, "match")
    write_map(workdir)
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible()
        console(display, "g_match 1", "g_fraglimit 1")
        start_play(display, lambda rgb: bar_shows(rgb, 1, 0.95) and bar_shows(rgb, 2, 0.95))
        display.screenshot_png(os.path.join(workdir, "start.png"))

        # One rocket a second, each press waiting for what it did: first player 2 is hurt (its
        # bar short of half, player 1's still full), then player 2 dies and player 1 wins.
        seen = {"hurt": False, "won": False}

        def changed():
            rgb = display.screenshot_rgb()
            hurt = (not bar_shows(rgb, 2, 0.5) and bar_shows(rgb, 2, 0.05)
                    and bar_shows(rgb, 1, 0.95))
            won = near(pixel(rgb, *WINNER_FRAME), COLOURS[0])
            news = (hurt and not seen["hurt"]) or (won and not seen["won"])
            seen["hurt"] |= hurt
            seen["won"] |= won
            return news

        for _ in range(10):
            if seen["won"]:
                break
            display.key("space")
            try:
                wait_for(changed, 1.0, "a rocket's hit")
            except Failure:
                pass
        check(seen["hurt"], "the HUD never showed player 2 hurt")
        check(seen["won"], "no winner screen")
        display.screenshot_png(os.path.join(workdir, "won.png"))
        display.key("F12")
        check(program.wait_exit() == 1, "F12 did not end the game with 1")
        log = log_text(workdir)
        check("Player 1 fragged Player 2 (1:0)\nPlayer 1 wins the match (1:0)\n" in log,
              "the frag and the win are not in the log:\n" + log[-600:])
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


def play_without_match(game, data_dir):
    workdir = make_workdir(data_dir, "nomatch")
    write_map(workdir)
    floor = bmp_mean_colour(os.path.join(workdir, "basev2", "textures", "briks",
                                         "br%d.bmp" % FLOOR_CODE))
    background = tuple(0.9 * c for c in bmp_mean_colour(
        os.path.join(workdir, "basev2", "textures", "backg", "b_0.bmp")))
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible()
        console(display, "g_match 0")
        start_play(display, lambda rgb: distance(region_mean(rgb, 300, 304, 200, 12), floor) < 40)
        # Both players stand on one spot and fire away from each other: three rockets, each
        # waited for until it has crossed the screen and gone.
        def steady_band():
            first = band(display)
            return first if band(display) == first else None

        for _ in range(3):
            before = wait_for(steady_band, 5, "a still picture")
            display.key("space")
            wait_for(lambda: band(display) != before, 5, "a rocket")
            wait_for(lambda: band(display) == before, 5, "the rocket to be gone")
        rgb = display.screenshot_rgb()
        display.screenshot_png(os.path.join(workdir, "nomatch.png"))
        check(not bar_shows(rgb, 1, 0.5) and not bar_shows(rgb, 2, 0.5), "a HUD is drawn")
        seen = region_mean(rgb, *BACKGROUND_BOX)
        check(distance(seen, background) < 40,
              "the top left corner is not the background: %s, not %s" % (seen, background))
        display.key("F12")
        check(program.wait_exit() == 1, "F12 did not end the game with 1")
        log = log_text(workdir)
        check("fragged" not in log and "wins the match" not in log,
              "match lines without a match:\n" + log[-600:])
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


def test(game, data_dir):
    play_match(game, data_dir)
    play_without_match(game, data_dir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
