"""The drop-down console takes typed commands, writes a config, and the world shows the map."""

import os
import shutil
import sys
import time

from harness import (Display, Program, bmp_mean_colour, check, distance, make_workdir,
                     read_map, region_mean, run, wait_for)

PLAY_BUTTON = (515, 200)  # screen pixels inside the menu's play button


def type_command(display, line):
    display.type(line)
    display.key("Return")


def check_bricks(display, workdir):
    """Every brick cell of the shipped map shows its own brick's colours on screen."""
    cells = read_map(os.path.join(workdir, "basev2", "maps", "v2dm1.vsm"))
    textures = os.path.join(workdir, "basev2", "textures", "briks")
    means = {code: bmp_mean_colour(os.path.join(textures, "br%d.bmp" % code))
             for code in range(1, 8)}
    rgb = display.screenshot_rgb()
    bricks = matched = 0
    for index, code in enumerate(cells):
        if not 1 <= code <= 7:
            continue
        column, row = divmod(index, 30)
        left, top = column * 40, row * 20
        if top < 300:
            continue  # the open console covers the upper half
        bricks += 1
        seen = region_mean(rgb, left + 6, top + 4, 28, 12)
        nearest = min(means, key=lambda c: distance(means[c], seen))
        matched += nearest == code and distance(means[code], seen) < 60
    check(bricks > 0, "the map has no bricks in the lower half")
    # Players and shots may cover a few cells.
    check(matched >= 0.85 * bricks, "only %d of %d brick cells show their brick" % (matched, bricks))


def test(game, data_dir):
    workdir = make_workdir(data_dir, "console")
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible()
        time.sleep(0.5)
        display.click(*PLAY_BUTTON)
        display.key("grave")
        time.sleep(0.5)
        type_command(display, "gravity 0.5")
        type_command(display, "writecfg t")
        config = os.path.join(workdir, "basev2", "t.cfg")
        wait_for(lambda: os.path.exists(config), 10, "basev2/t.cfg")
        time.sleep(0.3)
        with open(config) as f:
            text = f.read()
        check("gravity 0.500000\n" in text, "t.cfg lacks the new gravity:\n" + text)
        display.screenshot_png(os.path.join(workdir, "console.png"))
        check_bricks(display, workdir)
        type_command(display, "quit")
        check(program.wait_exit() == 1, "quit did not end the game with 1")
        with open(os.path.join(workdir, "basev2", "console.log")) as f:
            log = f.read()
        check("]gravity 0.5\n]writecfg t\nWrited config t.cfg\n]quit\n" in log,
              "typed lines missing from the log:\n" + log[-500:])
    finally:
        program.kill()
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
