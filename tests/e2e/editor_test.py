"""Vorn2Forge places a brick with the keyboard, saves it, and the game then shows it."""

import os
import shutil
import sys
import time

from harness import (Display, Program, bmp_mean_colour, check, distance, make_workdir,
                     read_map, region_mean, run, wait_for)

PLAY_BUTTON = (515, 200)


def pick_empty_cell(cells):
    """An empty cell in the upper arena, away from the players and the help line."""
    for column in range(2, 18):
        for row in range(2, 9):
            if cells[column * 30 + row] == 0:
                return column, row
    raise AssertionError("the shipped map has no empty cell up there")


def edit(display, editor_path, basev2, column, row):
    program = Program(display, editor_path, basev2, "Vorn2 Forge")
    try:
        program.wait_visible()
        time.sleep(0.3)
        display.key("F7")                               # load the map first
        display.key(*["Right"] * column, *["Down"] * row)
        display.type("kk")                              # kind 1 -> 3
        display.key("space", "F5")
        time.sleep(0.5)
        display.key("Escape")
        check(program.wait_exit() == 1, "Escape did not end the editor with 1")
    finally:
        program.kill()


def test(editor_path, game, data_dir):
    workdir = make_workdir(data_dir, "editor")
    basev2 = os.path.join(workdir, "basev2")
    map_path = os.path.join(basev2, "maps", "v2dm1.vsm")
    before = read_map(map_path)
    column, row = pick_empty_cell(before)
    display = Display()
    try:
        edit(display, editor_path, basev2, column, row)
        check(os.path.getsize(map_path) == 1200, "the saved map is not 1200 bytes")
        after = read_map(map_path)
        changed = [i for i in range(600) if before[i] != after[i]]
        check(changed == [column * 30 + row], "cells changed: %s" % changed)
        check(after[column * 30 + row] == 3, "the cell holds %d" % after[column * 30 + row])

        game_run = Program(display, game, workdir, "Vorn II")
        try:
            game_run.wait_visible()
            time.sleep(0.5)
            display.click(*PLAY_BUTTON)
            display.xdotool("mousemove", "400", "300")
            time.sleep(0.5)
            rgb = display.screenshot_rgb()
            seen = region_mean(rgb, column * 40 + 6, row * 20 + 4, 28, 12)
            brick = bmp_mean_colour(os.path.join(basev2, "textures", "briks", "br3.bmp"))
            check(distance(seen, brick) < 60,
                  "the game does not show the new brick: %s vs %s" % (seen, brick))
            display.key("F12")
            check(game_run.wait_exit() == 1, "the game did not end on F12")
        finally:
            game_run.kill()
    finally:
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
