"""A pad in a real game: told on the console, Start leaves the menu, the stick walks player 2,
Escape still shows the menu at its first press, and pulling the pad is told."""

import os
import re
import shutil
import sys
import time

from harness import (Display, Program, check, distance, make_workdir, region_mean, run,
                     wait_for)

START = 6
LEFT_X = 0
# Below the console and above the credit lines: the menu's picture, or the world in play.
PROBE_REGION = (100, 320, 600, 200)


def console(display, *lines):
    """Types lines into the open console."""
    for line in lines:
        display.type(line)
        display.key("Return")


def saved_log(display, workdir):
    """Saves the console log from the open console and returns its text."""
    log = os.path.join(workdir, "basev2", "console.log")
    if os.path.exists(log):
        os.remove(log)
    console(display, "con_savelog")
    wait_for(lambda: os.path.exists(log) and "]con_savelog" in open(log, errors="replace").read(),
             10, "the console log")
    with open(log, errors="replace") as f:
        return f.read()


def wait_for_line(display, workdir, line):
    """Saves the log from the open console until it holds `line`. Device events queue behind
    the typing, so the game may tell them a little after the command that caused them."""
    wait_for(lambda: line in saved_log(display, workdir), 15, repr(line))


def query_players(display, workdir):
    """Both players' x, asked through the console, which is closed again afterwards."""
    display.key("grave")
    time.sleep(0.2)
    console(display, "players")
    text = saved_log(display, workdir)
    display.key("grave")
    text = text[text.rfind("]players\n"):]
    found = re.findall(r"player (\d): x (-?[\d.]+)", text)
    check(len(found) >= 2, "no player lines in the log:\n" + text[-400:])
    return {int(p): float(x) for p, x in found[:2]}


def screen_probe(display):
    return region_mean(display.screenshot_rgb(), *PROBE_REGION)


def test(game, data_dir):
    workdir = make_workdir(data_dir, "pad")
    display = Display()
    program = None
    try:
        program = Program(display, game, workdir, "Vorn II")
        program.wait_visible()
        menu = wait_for(lambda: (lambda probe: probe if sum(probe) > 30 else None)(
            screen_probe(display)), 10, "the menu to be drawn")
        start = query_players(display, workdir)

        display.key("grave")
        time.sleep(0.2)
        console(display, "vpad_plug")
        wait_for_line(display, workdir, "Pad 1 (Probe pad 1) drives player 2\n")

        # The stick is held from the console, so nothing walks until Start leaves the menu; Start
        # also closes the console, as Escape does.
        console(display, "vpad_axis 1 %d 32767" % LEFT_X, "vpad_button 1 %d 1" % START)
        wait_for(lambda: distance(screen_probe(display), menu) > 20, 10, "the menu to go")
        walked = wait_for(lambda: (lambda p: p if p[2] > start[2] + 0.3 else None)(
            query_players(display, workdir)), 15, "player 2 to walk")
        check(walked[1] == start[1], "player 1 moved: %s -> %s" % (start, walked))

        # Start armed nothing of Escape's: one press shows the menu.
        display.key("Escape")
        wait_for(lambda: distance(screen_probe(display), menu) < 5, 10, "the menu after Escape")

        display.key("grave")
        time.sleep(0.2)
        console(display, "vpad_unplug 1")
        wait_for_line(display, workdir, "Pad 1 (Probe pad 1) unplugged\n")
        console(display, "quit")
        check(program.wait_exit() == 1, "quit did not end the game with 1")
    finally:
        if program is not None:
            program.kill()
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2])
