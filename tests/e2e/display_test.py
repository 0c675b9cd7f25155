"""The game and the editor on a full-HD screen: the 800x600 picture scaled to the screen's height,
centred between black bars; the menu's buttons and mouse look where the picture shows them;
Alt+Enter and vid_fullscreen switching between full screen and a window."""

import os
import shutil
import subprocess
import sys

from editor_test import pick_empty_cell
from harness import Display, Program, check, make_workdir, read_map, run, wait_for

SCREEN = "1920x1080"
# Where the 800x600 picture lies on that screen: 1440x1080 from x 240, 1.8 screen pixels to one.
LEFT, WIDTH, HEIGHT = 240, 1440, 1080
SCALE = 1.8
WINDOWED = (560, 240, 800, 600)  # x, y, width, height: the largest whole multiple, centred
PLAY_BUTTON = (515, 200)
AWAY_FROM_BUTTONS = (100, 550)
SUCCESS_LINE = "OpenGL: video mode 800x600 set succesful!\n"
# Generous: drawing a full-HD screen in software on a busy machine takes its time, and every
# typed character costs frames.
DEADLINE_S = 60


def screen_point(x, y):
    """The screen pixel over picture pixel (x, y) while the game fills the screen."""
    return int(LEFT + (x + 0.5) * SCALE), int((y + 0.5) * SCALE)


def move_to(display, x, y):
    display.xdotool("mousemove", str(x), str(y))


def geometry(display, title):
    """(x, y, width, height) of the program's visible window, or None."""
    found = display.xdotool("search", "--onlyvisible", "--name", "^%s$" % title).stdout.split()
    if not found:
        return None
    out = display.xdotool("getwindowgeometry", found[0]).stdout.split()
    x, y = out[out.index("Position:") + 1].split(",")
    width, height = out[out.index("Geometry:") + 1].split("x")
    return int(x), int(y), int(width), int(height)


def wait_geometry(display, title, wanted, what):
    wait_for(lambda: geometry(display, title) == wanted, DEADLINE_S, what)


def pointer(display):
    out = display.xdotool("getmouselocation").stdout.split()
    return int(out[0].split(":")[1]), int(out[1].split(":")[1])


def settled_screenshot(display):
    """A screenshot once two in a row are the same: the frame has caught up with the input."""
    shots = [display.screenshot_rgb()]

    def same_twice():
        shots.append(display.screenshot_rgb())
        return shots[-1] == shots[-2] and max(shots[-1]) > 0

    wait_for(same_twice, DEADLINE_S, "a settled picture")
    return shots[-1]


def rows(rgb, screen_width, left, top, width, height):
    for y in range(top, top + height):
        start = (y * screen_width + left) * 3
        yield rgb[start:start + width * 3]


def region_max(rgb, screen_width, left, top, width, height):
    return max(max(row) for row in rows(rgb, screen_width, left, top, width, height))


def picture_as_800x600(display):
    """The picture's part of the screen, scaled back to 800x600, as raw RGB."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], env=display.env(), capture_output=True,
                         check=True).stdout
    return subprocess.run(["convert", "xwd:-", "-crop", "%dx%d+%d+0" % (WIDTH, HEIGHT, LEFT),
                           "+repage", "-resize", "800x600!", "-depth", "8", "rgb:-"],
                          input=xwd, capture_output=True, check=True).stdout


def mean_difference(a, b):
    check(len(a) == len(b), "pictures of different sizes")
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


def console_log(workdir):
    with open(os.path.join(workdir, "basev2", "console.log"), errors="replace") as f:
        return f.read()


def run_console(display, workdir, *lines):
    """Types the lines into the open console, saves the log and returns it."""
    log = os.path.join(workdir, "basev2", "console.log")
    if os.path.exists(log):
        os.remove(log)
    for line in lines + ("con_savelog",):
        display.type(line)
        display.key("Return")
    wait_for(lambda: os.path.exists(log) and "]con_savelog" in console_log(workdir), DEADLINE_S,
             "the console log")
    return console_log(workdir)


def menu_at_800x600(game, data_dir):
    """The menu as the game draws it on a screen of its own size, pointer away from the
    buttons."""
    workdir = make_workdir(data_dir, "display-small")
    display = Display()
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible(DEADLINE_S)
        move_to(display, *AWAY_FROM_BUTTONS)
        return settled_screenshot(display)
    finally:
        program.kill()
        display.close()
        shutil.rmtree(workdir)


def full_screen_game(display, game, workdir, reference_menu):
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible(DEADLINE_S)
        wait_geometry(display, "Vorn II", (0, 0, 1920, 1080), "the game to fill the screen")

        move_to(display, *screen_point(*AWAY_FROM_BUTTONS))
        shot = settled_screenshot(display)
        check(region_max(shot, 1920, 0, 0, LEFT, HEIGHT) == 0, "the left bar is not black")
        check(region_max(shot, 1920, LEFT + WIDTH, 0, 1920 - LEFT - WIDTH, HEIGHT) == 0,
              "the right bar is not black")
        # Scaled back down, the picture between the bars is the menu as drawn at 800x600: the
        # whole of it, at its place, from the top of the screen to the bottom.
        difference = mean_difference(picture_as_800x600(display), reference_menu)
        check(difference < 6.0, "the menu is not the 800x600 menu scaled (mean difference %.1f)"
              % difference)

        # The menu takes a click where the last frame drew the cursor: wait for a frame with
        # the pointer on PLAY.
        move_to(display, *screen_point(*PLAY_BUTTON))
        wait_for(lambda: display.screenshot_rgb() != shot, DEADLINE_S, "the cursor on PLAY")
        display.xdotool("click", "1")
        wait_for(lambda: program.process.poll() is not None or
                 mean_difference(picture_as_800x600(display), reference_menu) > 20.0,
                 DEADLINE_S, "the world in place of the menu")
        check(program.process.poll() is None, "the click ended the game")
        # In play, mouse look puts the pointer back at the picture's middle, which is the
        # screen's; a pointer left 100 picture pixels above it comes back there.
        move_to(display, *screen_point(400, 200))
        wait_for(lambda: pointer(display) == (960, 540), DEADLINE_S,
                 "mouse look to put the pointer at the screen's middle")

        display.key("alt+Return")
        wait_geometry(display, "Vorn II", WINDOWED, "Alt+Enter to make a window")
        display.key("grave")
        text = run_console(display, workdir, "vid_fullscreen")
        check('"vid_fullscreen" is "0.000000"' in text,
              "vid_fullscreen does not hold the window:\n" + text[-300:])

        # Alt+Enter with a line being typed: it neither runs nor changes the line.
        display.type("say one")
        display.key("alt+Return")
        wait_geometry(display, "Vorn II", (0, 0, 1920, 1080), "Alt+Enter to fill the screen")
        text = run_console(display, workdir, " two", "vid_fullscreen")
        check("]say one two\n" in text and "]say one\n" not in text,
              "Alt+Enter changed the console's line:\n" + text[-300:])
        check('"vid_fullscreen" is "1.000000"' in text,
              "vid_fullscreen does not hold full screen:\n" + text[-300:])
        display.key("grave")

        display.key("F12")
        check(program.wait_exit(DEADLINE_S) == 1, "F12 did not end the game with 1")
    finally:
        program.kill()
    text = console_log(workdir)
    check(SUCCESS_LINE in text, "no success line for the video mode:\n" + text[:600])
    check("Warning: OpenGL" not in text, "a video-mode warning:\n" + text[:600])


def windowed_start(display, game, workdir):
    """vid_fullscreen 0 in autoexec.cfg, which runs at the end of the start-up, starts the game
    in a window, with the start-up log as ever."""
    with open(os.path.join(workdir, "basev2", "autoexec.cfg"), "w") as f:
        f.write("vid_fullscreen 0\n")
    os.remove(os.path.join(workdir, "basev2", "console.log"))
    program = Program(display, game, workdir, "Vorn II")
    try:
        program.wait_visible(DEADLINE_S)
        wait_geometry(display, "Vorn II", WINDOWED, "the game to start in a window")
        move_to(display, WINDOWED[0] + 400, WINDOWED[1] + 300)  # the keys go where the pointer is
        display.key("grave")
        display.type("quit")
        display.key("Return")
        check(program.wait_exit(DEADLINE_S) == 1, "quit did not end the game with 1")
    finally:
        program.kill()
    text = console_log(workdir)
    check(SUCCESS_LINE in text and "Warning: OpenGL" not in text,
          "the windowed start-up did not report its video mode:\n" + text[:600])


def editor(display, editor_path, workdir):
    """The editor shares the display: the same scaled picture, the same Alt+Enter, which places
    no brick although Enter does."""
    map_path = os.path.join(workdir, "basev2", "maps", "v2dm1.vsm")
    before = read_map(map_path)
    column, row = pick_empty_cell(before)
    program = Program(display, editor_path, os.path.join(workdir, "basev2"), "Vorn2 Forge")
    try:
        program.wait_visible(DEADLINE_S)
        wait_geometry(display, "Vorn2 Forge", (0, 0, 1920, 1080), "the editor to fill the screen")
        move_to(display, 960, 540)
        display.key("F7", *["Right"] * column, *["Down"] * row)
        shot = settled_screenshot(display)
        check(region_max(shot, 1920, 0, 0, LEFT, HEIGHT) == 0, "the editor's left bar is not black")
        check(region_max(shot, 1920, LEFT + WIDTH, 0, 1920 - LEFT - WIDTH, HEIGHT) == 0,
              "the editor's right bar is not black")
        check(region_max(shot, 1920, LEFT, 0, 40, HEIGHT) > 0 and
              region_max(shot, 1920, LEFT + WIDTH - 40, 0, 40, HEIGHT) > 0,
              "the editor's map does not reach both edges of the picture")
        display.key("alt+Return")
        wait_geometry(display, "Vorn2 Forge", WINDOWED, "Alt+Enter to make the editor a window")
        saved = os.path.getmtime(map_path)
        display.key("F5")
        wait_for(lambda: os.path.getmtime(map_path) != saved, DEADLINE_S,
                 "the editor to save the map")
        display.key("Escape")
        check(program.wait_exit(DEADLINE_S) == 1, "Escape did not end the editor with 1")
    finally:
        program.kill()
    check(read_map(map_path) == before, "Alt+Enter placed a brick in the editor")


def test(game, editor_path, data_dir):
    reference_menu = menu_at_800x600(game, data_dir)
    workdir = make_workdir(data_dir, "display")
    display = Display(SCREEN)
    try:
        full_screen_game(display, game, workdir, reference_menu)
        windowed_start(display, game, workdir)
        editor(display, editor_path, workdir)
    finally:
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
