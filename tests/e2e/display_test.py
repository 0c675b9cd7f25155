"""The game and the editor on a full-HD screen: the 800x600 picture scaled to the screen's height,
centred between black bars; the menu's buttons and mouse look where the picture shows them;
Alt+Enter and vid_fullscreen switching between full screen and a window."""

import os
import sys

from editor_test import pick_empty_cell
from harness import (EDITOR_TITLE, GAME_TITLE, PLAY_BUTTON, Game, Program, check, read_file,
                     read_map, region_bytes, run, session, wait_for)

# Where the 800x600 picture lies on a 1920x1080 screen: 1440x1080 from x 240, 1.8 screen pixels
# to one.
LEFT, WIDTH, HEIGHT, SCALE = 240, 1440, 1080, 1.8
FULL = (0, 0, 1920, 1080)
WINDOWED = (560, 240, 800, 600)  # x, y, width, height: the largest whole multiple, centred
AWAY_FROM_BUTTONS = (100, 550)
SUCCESS_LINE = "OpenGL: video mode 800x600 set succesful!\n"
# Generous: drawing a full-HD screen in software on a busy machine takes its time, and every
# typed character costs frames.
DEADLINE_S = 60


def screen_point(x, y):
    """The screen pixel over picture pixel (x, y) while the game fills the screen."""
    return str(int(LEFT + (x + 0.5) * SCALE)), str(int((y + 0.5) * SCALE))


def wait_geometry(display, title, wanted, what):
    """Waits until the program's visible window has (x, y, width, height) `wanted`."""
    def geometry():
        found = display.xdotool("search", "--onlyvisible", "--name", "^%s$" % title,
                                check=False).stdout.split()
        if not found:
            return None
        out = display.xdotool("getwindowgeometry", found[0]).stdout.split()
        x, y = out[out.index("Position:") + 1].split(",")
        width, height = out[out.index("Geometry:") + 1].split("x")
        return int(x), int(y), int(width), int(height)
    wait_for(lambda: geometry() == wanted, DEADLINE_S, what, lambda: str(geometry()))


def check_bars(shot, who):
    """Black bars left and right of the picture, which reaches both of its edges."""
    for left in (0, LEFT + WIDTH):
        check(not any(region_bytes(shot, left, 0, LEFT, HEIGHT, 1920)),
              "%s: the bar from x %d is not black" % (who, left))
    for left in (LEFT, LEFT + WIDTH - 40):
        check(any(region_bytes(shot, left, 0, 40, HEIGHT, 1920)),
              "%s: the picture does not reach x %d" % (who, left))


def picture_as_800x600(display):
    """The picture's part of the screen, scaled back to 800x600, as raw RGB."""
    return display.screenshot_rgb("-crop", "%dx%d+%d+0" % (WIDTH, HEIGHT, LEFT), "+repage",
                                  "-resize", "800x600!", size=(800, 600))


def mean_difference(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


def test(game, editor, data_dir):
    with session(data_dir, "display-small") as (display, workdir):
        # The menu as the game draws it on a screen of its own size, pointer away from the
        # buttons.
        program = Program(display, game, workdir, GAME_TITLE)
        program.wait_visible(DEADLINE_S)
        display.move(*AWAY_FROM_BUTTONS)
        reference_menu = display.settled()

    with session(data_dir, "display", "1920x1080") as (display, workdir):
        running = Game(display, game, workdir, step_s=DEADLINE_S)  # its console, not its screen
        program = running.program
        program.wait_visible(DEADLINE_S)
        wait_geometry(display, GAME_TITLE, FULL, "the game to fill the screen")
        display.xdotool("mousemove", *screen_point(*AWAY_FROM_BUTTONS))
        shot = display.settled()
        check_bars(shot, "the menu")
        # Scaled back down, the picture between the bars is the menu as drawn at 800x600: the
        # whole of it, at its place, from the top of the screen to the bottom.
        difference = mean_difference(picture_as_800x600(display), reference_menu)
        check(difference < 6.0, "the menu is not the 800x600 menu scaled (mean difference %.1f)"
              % difference)
        # The menu takes a click where the last frame drew the cursor.
        display.xdotool("mousemove", *screen_point(*PLAY_BUTTON))
        wait_for(lambda: display.screenshot_rgb() != shot, DEADLINE_S, "the cursor on PLAY")
        display.xdotool("click", "1")
        wait_for(lambda: program.alive() or
                 mean_difference(picture_as_800x600(display), reference_menu) > 20.0,
                 DEADLINE_S, "the world in place of the menu")
        # Mouse look puts the pointer back at the picture's middle, which is the screen's.
        display.xdotool("mousemove", *screen_point(400, 200))
        wait_for(lambda: display.pointer() == (960, 540), DEADLINE_S,
                 "mouse look to put the pointer at the screen's middle")

        display.key("alt+Return")
        wait_geometry(display, GAME_TITLE, WINDOWED, "Alt+Enter to make a window")
        display.key("grave")
        running.command("vid_fullscreen")
        text = running.save_log()
        check('"vid_fullscreen" is "0.000000"' in text,
              "vid_fullscreen does not hold the window:\n" + text[-300:])
        # Alt+Enter with a line being typed: it neither runs nor changes the line.
        display.type("say one")
        display.key("alt+Return")
        wait_geometry(display, GAME_TITLE, FULL, "Alt+Enter to fill the screen")
        running.command(" two", "vid_fullscreen")
        text = running.save_log()
        check("]say one two\n" in text and "]say one\n" not in text,
              "Alt+Enter changed the console's line:\n" + text[-300:])
        check('"vid_fullscreen" is "1.000000"' in text,
              "vid_fullscreen does not hold full screen:\n" + text[-300:])
        display.key("grave", "F12")
        program.expect_exit(1, DEADLINE_S)
        text = read_file(running.log_path)
        check(SUCCESS_LINE in text and "Warning: OpenGL" not in text,
              "the video mode was not set without a warning:\n" + text[:600])

        # The editor shares the display: the same scaled picture, the same Alt+Enter, which
        # places no brick although Enter does.
        map_path = os.path.join(workdir, "basev2", "maps", "v2dm1.vsm")
        before = read_map(map_path)
        column, row = pick_empty_cell(before)
        program = Program(display, editor, os.path.join(workdir, "basev2"), EDITOR_TITLE)
        program.wait_visible(DEADLINE_S)
        wait_geometry(display, EDITOR_TITLE, FULL, "the editor to fill the screen")
        display.move(960, 540)
        display.key("F7", *["Right"] * column, *["Down"] * row)
        check_bars(display.settled(), "the editor")
        display.key("alt+Return")
        wait_geometry(display, EDITOR_TITLE, WINDOWED, "Alt+Enter to make the editor a window")
        saved = os.path.getmtime(map_path)
        display.key("F5")
        wait_for(lambda: os.path.getmtime(map_path) != saved, DEADLINE_S, "the editor's save")
        display.key("Escape")
        program.expect_exit(1, DEADLINE_S)
        check(read_map(map_path) == before, "Alt+Enter placed a brick in the editor")


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
