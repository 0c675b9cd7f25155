"""Vorn2Forge keeps the map from careless keys, places a brick, saves it with a backup, and the
game then shows the brick."""

import os
import sys

from harness import (Game, bmp_mean_colour, cell_box, check, distance, read_file, read_map,
                     red_pixels, region_mean, run, session, start_editor, wait_for)

QUESTION_LINE = (0, 528, 800, 16)  # the red question of a key that waits for a second press
ARENA_ROWS = 520                   # screen rows above every line of text


def pick_empty_cell(cells):
    """An empty cell in the upper arena, away from the players and the lines of text."""
    for column in range(2, 18):
        for row in range(2, 9):
            if cells[column * 30 + row] == 0:
                return column, row
    raise AssertionError("the shipped map has no empty cell up there")


def question_shown(rgb):
    return red_pixels(rgb, QUESTION_LINE) > 100


def test(editor, game, data_dir):
    with session(data_dir, "editor") as (display, workdir):
        basev2 = os.path.join(workdir, "basev2")
        map_path = os.path.join(basev2, "maps", "v2dm1.vsm")
        original = read_file(map_path, "rb")
        before = read_map(map_path)
        column, row = pick_empty_cell(before)

        def load_and_edit(empty):
            """F7, then kind 3 placed on (column, row), once the loaded map shows."""
            display.key("F7")
            display.wait_screen(lambda rgb: rgb[:ARENA_ROWS * 2400] != empty[:ARENA_ROWS * 2400]
                                and not question_shown(rgb), "the loaded map, without a question")
            display.key(*["Right"] * column, *["Down"] * row)
            display.type("kk")  # kind 1 -> 3
            display.key("space")

        def untouched(after):
            check(read_file(map_path, "rb") == original, after + " changed the map file")
            check(read_file(map_path + ".bak", "rb") is None, after + " wrote a backup")

        # F5 before F7, then Escape with an edit: each asks first, and neither touches the map.
        program, empty = start_editor(display, editor, basev2)
        check(not question_shown(empty), "a red question shows before any key")
        display.key("F5")
        display.wait_screen(question_shown, "the question F5 asks")
        untouched("F5 before F7")
        load_and_edit(empty)
        display.key("Escape")
        display.wait_screen(question_shown, "the question Escape asks with an unsaved edit")
        program.alive()
        display.key("Escape")
        program.expect_exit(1)
        untouched("quitting without saving")

        # F7, an edit, F5: the map is written at once and the backup holds the old one.
        program, empty = start_editor(display, editor, basev2)
        load_and_edit(empty)
        display.key("F5")
        wait_for(lambda: read_file(map_path, "rb") != original, 10, "the map file to change")
        check(read_file(map_path + ".bak", "rb") == original, "the backup is not the previous map")
        display.key("Escape")  # saved: quits at once
        program.expect_exit(1)
        check(len(read_file(map_path, "rb")) == 1200, "the saved map is not 1200 bytes")
        after = read_map(map_path)
        changed = [i for i in range(600) if before[i] != after[i]]
        check(changed == [column * 30 + row] and after[column * 30 + row] == 3,
              "cells changed: %s, the cell holds %d" % (changed, after[column * 30 + row]))

        running = Game(display, game, workdir)
        running.start()
        brick = bmp_mean_colour(os.path.join(basev2, "textures", "briks", "br3.bmp"))
        running.enter_play(lambda rgb: distance(
            region_mean(rgb, *cell_box(column, row)), brick) < 60)
        running.quit()


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
