"""A mapper's day: a new map made with the mouse in Vorn2Forge, undone and redone, played in the
game with `map`, with `g_map` from autoexec.cfg and with the editor's F9; and names that are no
map names refused."""

import os
import shutil
import subprocess
import sys

from harness import (Display, Failure, bmp_mean_colour, check, distance, make_workdir,
                     read_map, region_mean, run, wait_for)

PLAY_BUTTON = (515, 200)
MENU_BUTTON = (PLAY_BUTTON[0] - 40, PLAY_BUTTON[1] - 10, 80, 20)
HELP_LINE = (200, 574, 600, 20)   # the editor's red "Please, read the file 'Help.txt'"
ARENA_ROWS = 520                  # screen rows above the editor's lines of text
# Two cells in the lower half, which the game's open console leaves in sight, away from where
# the players stand and empty in v2dm1.
KEPT = (3, 20)      # column, row: clicked left, kept
CLEARED = (5, 22)   # clicked left, then right
PLACED = (8, 21)    # clicked left after the first save, undone, redone


def cell_index(cell):
    return cell[0] * 30 + cell[1]


def cell_box(cell):
    """The inside of a cell on screen, clear of its edges."""
    return (cell[0] * 40 + 6, cell[1] * 20 + 4, 28, 12)


def cell_centre(cell):
    return (cell[0] * 40 + 20, cell[1] * 20 + 10)


class Started:
    """A program started with arguments (the harness starts programs without), its output kept
    in `log_path`."""

    def __init__(self, display, argv, cwd, log_path):
        self.log_path = log_path
        self.output = open(log_path, "w")
        self.process = subprocess.Popen(argv, cwd=cwd, env=display.env(), stdout=self.output,
                                        stderr=subprocess.STDOUT)

    def wait_exit(self, deadline_s=30):
        try:
            return self.process.wait(timeout=deadline_s)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end:\n" + self.text())

    def text(self):
        self.output.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.output.close()


def xdotool(display, *args):
    result = display.xdotool(*args)
    check(result.returncode == 0, "xdotool %s failed: %s" % (" ".join(args), result.stderr))


failure_shot = "timeout.png"  # set to the test's folder, which a failure keeps


def wait_screen(display, condition, what, deadline_s=15):
    """The first screenshot for which `condition(rgb)` holds; on a timeout the screen is kept
    in `failure_shot`."""
    def shot():
        rgb = display.screenshot_rgb()
        return rgb if condition(rgb) else None
    try:
        return wait_for(shot, deadline_s, what)
    except Failure:
        display.screenshot_png(failure_shot)
        raise


def wait_visible(display, program, title, deadline_s=20):
    wait_for(lambda: program.process.poll() is not None or display.window_visible(title),
             deadline_s, "the window " + title)
    check(program.process.poll() is None, "%s ended at start-up:\n%s" % (title, program.text()))


def console_lines(display, *lines):
    """Types each line into the open console and ends it with Return."""
    for line in lines:
        xdotool(display, "type", "--delay", "20", line)
        xdotool(display, "key", "Return")


def red_pixels(rgb, box):
    left, top, width, height = box
    count = 0
    for y in range(top, top + height):
        for x in range(left, left + width):
            i = (y * 800 + x) * 3
            if rgb[i] > 150 and rgb[i + 1] < 80 and rgb[i + 2] < 80:
                count += 1
    return count


def lit_pixels_outside(rgb, skip):
    """Pixels above the editor's text lines that are not black, outside the box `skip`."""
    left, top, width, height = skip
    count = 0
    for y in range(ARENA_ROWS):
        for x in range(800):
            if left <= x < left + width and top <= y < top + height:
                continue
            i = (y * 800 + x) * 3
            if rgb[i] > 24 or rgb[i + 1] > 24 or rgb[i + 2] > 24:
                count += 1
    return count


def file_cells(path):
    """The cells of a whole map file, or None while there is none."""
    if not os.path.exists(path) or os.path.getsize(path) != 1200:
        return None
    return read_map(path)


def bricks_of(cells):
    return {i: code for i, code in enumerate(cells) if code != 0}


def refuses_bad_names(editor, basev2, workdir):
    """A path, .. or a stray character: one clear line, a non-zero status, nothing written."""
    for name in ("../x", "..", "a/b", "bad name", "x;y"):
        result = subprocess.run([editor, name], cwd=basev2, capture_output=True, text=True,
                                timeout=30)
        check(result.returncode != 0, "Vorn2Forge %r started (status 0)" % name)
        lines = result.stderr.strip().splitlines()
        check(len(lines) == 1 and name in lines[0] and "map name" in lines[0],
              "Vorn2Forge %r did not say why in one line: %r" % (name, result.stderr))
    check(not os.path.exists(os.path.join(workdir, "x.vsm")), "a file was written outside maps/")


def edit_new_map(display, editor, basev2, workdir, brick):
    """Vorn2Forge arena on no such map: clicks, F5, undo, redo; the file follows each step."""
    path = os.path.join(basev2, "maps", "arena.vsm")
    check(not os.path.exists(path), "arena.vsm exists before the test")
    program = Started(display, [editor, "arena"], basev2, os.path.join(workdir, "editor.txt"))
    try:
        wait_visible(display, program, "Vorn2 Forge - arena")
        first = wait_screen(display, lambda rgb: red_pixels(rgb, HELP_LINE) > 100,
                            "the editor's first frame")
        check(lit_pixels_outside(first, (0, 0, 42, 22)) == 0,
              "the grid of a new map is not empty (only the cursor on cell 0 may show)")

        kept, cleared = cell_centre(KEPT), cell_centre(CLEARED)
        xdotool(display, "mousemove", str(kept[0]), str(kept[1]), "click", "1",
                "mousemove", str(cleared[0]), str(cleared[1]), "click", "1", "click", "3",
                "key", "F5")
        cells = wait_for(lambda: file_cells(path), 15, "maps/arena.vsm to be saved")
        check(bricks_of(cells) == {cell_index(KEPT): 1},
              "arena.vsm holds %s, not one brick at %s" % (bricks_of(cells), KEPT))
        shown = display.screenshot_rgb()
        check(distance(region_mean(shown, *cell_box(KEPT)), brick) < 60,
              "the kept brick does not show in its cell")

        placed = cell_centre(PLACED)
        both = {cell_index(KEPT): 1, cell_index(PLACED): 1}
        xdotool(display, "mousemove", str(placed[0]), str(placed[1]), "click", "1", "key", "F5")
        wait_for(lambda: bricks_of(file_cells(path)) == both, 15, "the placed brick to be saved")
        # Away from the cells, so that the cursor's preview covers none of them.
        xdotool(display, "mousemove", "700", "60", "key", "ctrl+z", "key", "F5")
        wait_for(lambda: bricks_of(file_cells(path)) == {cell_index(KEPT): 1}, 15,
                 "the undone brick to be saved away")
        wait_screen(display, lambda rgb: max(region_mean(rgb, *cell_box(PLACED))) < 24,
                    "the undone brick to leave the screen")

        xdotool(display, "key", "ctrl+y", "key", "F5")
        wait_for(lambda: bricks_of(file_cells(path)) == both, 15, "the redone brick to be saved")
        wait_screen(display, lambda rgb: distance(region_mean(rgb, *cell_box(PLACED)), brick) < 60,
                    "the redone brick to show")
        # Ctrl+Shift+Z redoes too: undo, redo that way, and the file holds the brick again.
        xdotool(display, "key", "ctrl+z", "key", "F5")
        wait_for(lambda: bricks_of(file_cells(path)) == {cell_index(KEPT): 1}, 15,
                 "the second undo to be saved")
        xdotool(display, "key", "ctrl+shift+z", "key", "F5")
        wait_for(lambda: bricks_of(file_cells(path)) == both, 15,
                 "Ctrl+Shift+Z's redo to be saved")
        display.screenshot_png(os.path.join(workdir, "editor.png"))
        xdotool(display, "key", "Escape")
        check(program.wait_exit() == 1, "Escape after saving did not end the editor with 1")
    finally:
        program.kill()


def start_game(display, game, workdir, args=()):
    program = Started(display, [game, *args], workdir, os.path.join(workdir, "game.txt"))
    wait_visible(display, program, "Vorn II")
    wait_screen(display, lambda rgb: region_mean(rgb, *MENU_BUTTON) != (0, 0, 0), "the menu")
    return program


def world_shows(rgb):
    """The dark world background where the menu's bright PLAY button was (both maps leave that
    cell empty)."""
    return sum(region_mean(rgb, *MENU_BUTTON)) < 260


def play(display):
    """PLAY on the menu, once the game has drawn the pointer over the button (its picture
    pulses), so that the click lands on it; clicks again if the menu stays."""
    idle = region_mean(display.screenshot_rgb(), *MENU_BUTTON)
    xdotool(display, "mousemove", str(PLAY_BUTTON[0]), str(PLAY_BUTTON[1]))
    wait_screen(display, lambda rgb: distance(region_mean(rgb, *MENU_BUTTON), idle) > 30,
                "the PLAY button to light up under the pointer")
    for attempt in range(3):
        xdotool(display, "click", "1")
        try:
            return wait_screen(display, world_shows, "the world after PLAY", deadline_s=5)
        except Failure:
            if attempt == 2:
                raise


def brick_shown(rgb, cell, brick):
    return distance(region_mean(rgb, *cell_box(cell)), brick) < 60


def console_log_after(workdir, marker):
    path = os.path.join(workdir, "basev2", "console.log")
    if not os.path.exists(path):
        return None
    with open(path, errors="replace") as f:
        text = f.read()
    at = text.rfind(marker)
    return text[at:] if at >= 0 and "]con_savelog" in text[at:] else None


def game_map_command(display, game, workdir, brick):
    """`map arena` draws the brick; `map nosuch` and a cut map keep it, each with its line."""
    short = os.path.join(workdir, "basev2", "maps", "short.vsm")
    with open(short, "wb") as f:
        f.write(b"\x01\x00" * 599)
    program = start_game(display, game, workdir)
    try:
        play(display)
        v2dm1 = read_map(os.path.join(workdir, "basev2", "maps", "v2dm1.vsm"))
        check(v2dm1[cell_index(KEPT)] == 0, "the test's cell is not empty in v2dm1")
        xdotool(display, "key", "grave")
        console_lines(display, "map arena")
        wait_screen(display, lambda rgb: brick_shown(rgb, KEPT, brick),
                    "the game to draw arena's brick")
        console_lines(display, "map nosuch", "map short", "maps", "con_savelog")
        log = wait_for(lambda: console_log_after(workdir, "]map arena"), 15, "the console log")
        check("]map arena\nMap basev2/maps/arena.vsm loaded\n" in log,
              "map arena did not say it loaded:\n" + log)
        check("]map nosuch\nError: couldn't load map basev2/maps/nosuch.vsm\n" in log,
              "map nosuch lacks the failure line:\n" + log)
        check("]map short\nMap basev2/maps/short.vsm is 1198 bytes, not 1200: not loaded\n"
              in log, "a cut map lacks its line:\n" + log)
        check("   arena\n" in log and "   v2dm4\n" in log, "maps did not list the maps:\n" + log)
        rgb = display.screenshot_rgb()
        check(brick_shown(rgb, KEPT, brick), "a failed map command changed the map on screen")
        display.screenshot_png(os.path.join(workdir, "game-map.png"))
        console_lines(display, "quit")
        check(program.wait_exit() == 1, "quit did not end the game with 1")
    finally:
        program.kill()
    os.remove(short)


def game_g_map(display, game, workdir, brick):
    """autoexec.cfg sets g_map: the game starts on that map."""
    autoexec = os.path.join(workdir, "basev2", "autoexec.cfg")
    with open(autoexec, "w") as f:
        f.write("g_map arena\n")
    program = start_game(display, game, workdir)
    try:
        play(display)
        wait_screen(display, lambda rgb: brick_shown(rgb, KEPT, brick),
                    "the game to start on g_map's map")
        xdotool(display, "key", "F12")
        check(program.wait_exit() == 1, "F12 did not end the game with 1")
    finally:
        program.kill()
    os.remove(autoexec)


def editor_f9(display, editor, basev2, workdir, brick):
    """F9 saves, the game opens on the map, and the editor comes back when it ends."""
    path = os.path.join(basev2, "maps", "arena.vsm")
    program = Started(display, [editor, "arena"], basev2, os.path.join(workdir, "editor-f9.txt"))
    try:
        wait_visible(display, program, "Vorn2 Forge - arena")
        wait_screen(display, lambda rgb: brick_shown(rgb, KEPT, brick), "arena loaded at start")
        cleared = cell_centre(CLEARED)
        xdotool(display, "mousemove", str(cleared[0]), str(cleared[1]), "click", "1",
                "key", "F9")
        wait_for(lambda: display.window_visible("Vorn II"), 20, "the game started by F9")
        check(bricks_of(file_cells(path)) ==
              {cell_index(KEPT): 1, cell_index(PLACED): 1, cell_index(CLEARED): 1},
              "F9 did not save the map first")
        check(not display.window_visible("Vorn2 Forge"), "the editor stays in sight")
        wait_screen(display, lambda rgb: region_mean(rgb, *MENU_BUTTON) != (0, 0, 0),
                    "the game's menu")
        play(display)
        wait_screen(display, lambda rgb: brick_shown(rgb, CLEARED, brick) and
                    brick_shown(rgb, KEPT, brick), "the game to open on the edited map")
        display.screenshot_png(os.path.join(workdir, "game-f9.png"))
        xdotool(display, "key", "F12")
        wait_for(lambda: display.window_visible("Vorn2 Forge - arena"), 20,
                 "the editor to come back")
        check(program.process.poll() is None, "the editor ended with the game")
        wait_screen(display, lambda rgb: red_pixels(rgb, HELP_LINE) > 100,
                    "the editor's picture again")
        xdotool(display, "key", "Escape")
        check(program.wait_exit() == 1, "Escape did not end the editor with 1")
    finally:
        program.kill()


def test(editor, game, data_dir):
    global failure_shot
    workdir = make_workdir(data_dir, "mapper")
    failure_shot = os.path.join(workdir, "timeout.png")
    basev2 = os.path.join(workdir, "basev2")
    brick = bmp_mean_colour(os.path.join(basev2, "textures", "briks", "br1.bmp"))
    refuses_bad_names(editor, basev2, workdir)
    display = Display()
    try:
        edit_new_map(display, editor, basev2, workdir, brick)
        game_map_command(display, game, workdir, brick)
        game_g_map(display, game, workdir, brick)
        editor_f9(display, editor, basev2, workdir, brick)
    finally:
        display.close()
    shutil.rmtree(workdir)


if __name__ == "__main__":
    run(test, sys.argv[1], sys.argv[2], sys.argv[3])
