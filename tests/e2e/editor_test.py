"""Vorn2Forge keeps the map from careless keys, places a brick, saves it with a backup, and the
game then shows the brick."""

import os
import shutil
import subprocess
import sys

from harness import (Display, Program, bmp_mean_colour, check, distance, make_workdir,
                     read_map, region_mean, run, wait_for)

PLAY_BUTTON = (515, 200)
# Boxes (left, top, width, height) in screen pixels, rows counted from the top.
HELP_LINE = (200, 574, 600, 20)       # the red "Please, read the file 'Help.txt'"
QUESTION_LINE = (0, 528, 800, 16)     # the red question of a key that waits for a second press
ARENA_ROWS = 520                      # screen rows above every line of text
MENU_BUTTON = (PLAY_BUTTON[0] - 40, PLAY_BUTTON[1] - 10, 80, 20)


def press(display, *keys):
    result = display.xdotool("key", "--delay", "30", *keys)
    check(result.returncode == 0, "xdotool key %s failed: %s" % (" ".join(keys), result.stderr))


def type_text(display, text):
    result = display.xdotool("type", "--delay", "30", text)
    check(result.returncode == 0, "xdotool type %r failed: %s" % (text, result.stderr))


def red_pixels(rgb, box):
    left, top, width, height = box
    count = 0
    for y in range(top, top + height):
        row = y * 800 * 3
        for x in range(left, left + width):
            i = row + x * 3
            if rgb[i] > 150 and rgb[i + 1] < 80 and rgb[i + 2] < 80:
                count += 1
    return count


def file_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def wait_screen(display, condition, what, deadline_s=10):
    """The first screenshot for which `condition(rgb)` holds."""
    def shot():
        rgb = display.screenshot_rgb()
        return rgb if condition(rgb) else None
    return wait_for(shot, deadline_s, what)


def question_shown(rgb):
    return red_pixels(rgb, QUESTION_LINE) > 100


def pick_empty_cell(cells):
    """An empty cell in the upper arena, away from the players and the lines of text."""
    for column in range(2, 18):
        for row in range(2, 9):
            if cells[column * 30 + row] == 0:
                return column, row
    raise AssertionError("the shipped map has no empty cell up there")


def start_editor(display, editor_path, basev2):
    """The editor, once it has drawn its first frame; and that frame (the empty grid)."""
    program = Program(display, editor_path, basev2, "Vorn2 Forge")
    program.wait_visible()
    first = wait_screen(display, lambda rgb: red_pixels(rgb, HELP_LINE) > 100,
                        "the editor's help line")
    check(red_pixels(first, QUESTION_LINE) == 0, "a red question shows before any key")
    return program, first


def load_and_edit(display, empty, column, row):
    """F7, then kind 3 placed on (column, row); waits until the loaded map shows."""
    press(display, "F7")
    wait_screen(display, lambda rgb: rgb[:ARENA_ROWS * 2400] != empty[:ARENA_ROWS * 2400] and
                not question_shown(rgb), "the loaded map, without a question")
    press(display, *["Right"] * column, *["Down"] * row)
    type_text(display, "kk")                           # kind 1 -> 3
    press(display, "space")


def careless_keys(display, editor_path, basev2, map_path, original, column, row):
    """F5 before F7, then Escape with an edit: neither may touch the map."""
    program, empty = start_editor(display, editor_path, basev2)
    try:
        press(display, "F5")
        wait_screen(display, question_shown, "the question F5 asks")
        check(file_bytes(map_path) == original, "F5 before F7 changed the map file")
        check(file_bytes(map_path + ".bak") is None, "F5 before F7 wrote a backup")

        load_and_edit(display, empty, column, row)
        press(display, "Escape")
        wait_screen(display, question_shown, "the question Escape asks with an unsaved edit")
        check(program.process.poll() is None, "one Escape ended the editor with an unsaved edit")
        press(display, "Escape")
        check(program.wait_exit() == 1, "the second Escape did not end the editor with 1")
    finally:
        program.kill()
    check(file_bytes(map_path) == original, "quitting without saving changed the map file")
    check(file_bytes(map_path + ".bak") is None, "quitting without saving wrote a backup")


def edit_and_save(display, editor_path, basev2, map_path, original, column, row):
    """F7, an edit, F5: the map is written at once and the backup holds the old one."""
    program, empty = start_editor(display, editor_path, basev2)
    try:
        load_and_edit(display, empty, column, row)
        press(display, "F5")
        wait_for(lambda: file_bytes(map_path) != original, 10, "the map file to change")
        check(file_bytes(map_path + ".bak") == original, "the backup is not the previous map")
        press(display, "Escape")                       # saved: quits at once
        check(program.wait_exit() == 1, "Escape after saving did not end the editor with 1")
    finally:
        program.kill()


def play_shows_brick(display, game, workdir, basev2, column, row):
    game_run = Program(display, game, workdir, "Vorn II")
    try:
        game_run.wait_visible()
        wait_screen(display, lambda rgb: region_mean(rgb, *MENU_BUTTON) != (0, 0, 0),
                    "the main menu")
        display.click(*PLAY_BUTTON)
        result = display.xdotool("mousemove", "400", "300")
        check(result.returncode == 0, "xdotool mousemove failed: " + result.stderr)
        brick = bmp_mean_colour(os.path.join(basev2, "textures", "briks", "br3.bmp"))
        wait_screen(display, lambda rgb: distance(
            region_mean(rgb, column * 40 + 6, row * 20 + 4, 28, 12), brick) < 60,
            "the game to show the new brick")
        press(display, "F12")
        check(game_run.wait_exit() == 1, "the game did not end on F12")
    finally:
        game_run.kill()


def without_display(editor_path, basev2):
    """No display: the message line and status 2, never the 0 that scripts read as success."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    result = subprocess.run([editor_path], cwd=basev2, env=env, capture_output=True, text=True,
                            timeout=30)
    check(result.returncode == 2, "exit code %d without a display, expected 2" % result.returncode)
    check("Cannot register window class" in result.stderr,
          "no clear message without a display: " + result.stderr)


def test(editor_path, game, data_dir):
    workdir = make_workdir(data_dir, "editor")
    basev2 = os.path.join(workdir, "basev2")
    map_path = os.path.join(basev2, "maps", "v2dm1.vsm")
    original = file_bytes(map_path)
    before = read_map(map_path)
    column, row = pick_empty_cell(before)
    without_display(editor_path, basev2)
    display = Display()
    try:
        careless_keys(display, editor_path, basev2, map_path, original, column, row)
        edit_and_save(display, editor_path, basev2, map_path, original, column, row)
        check(os.path.getsize(map_path) == 1200, "the saved map is not 1200 bytes")
        after = read_map(map_path)
        changed = [i for i in range(600) if before[i] != after[i]]
        check(changed == [column * 30 + row], "cells changed: %s" % changed)
        check(after[column * 30 + row] == 3, "the cell holds %d" % after[column * 30 + row])
        play_shows_brick(display, game, workdir, basev2, column, row)
    finally:
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
